// One directory's entries as the file system keeps them: wide names,
// attributes, sizes, the three times a listing shows, the change time that
// every write moves (and no copying tool sets back), and the file ids.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct ListedEntry {
  std::wstring name;
  DWORD attributes = 0;
  int64_t size = 0;
  FILETIME created = {};
  FILETIME accessed = {};
  FILETIME written = {};
  int64_t changed = 0;
  int64_t fileId = 0;

  bool directory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool link() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Where a directory is: its volume and its own file id.
struct PlaceId {
  DWORD volume = 0;
  int64_t fileId = 0;
  bool operator==(const PlaceId&) const = default;
};

// The entries of a directory other than "." and ".."; false when it cannot
// be opened or listed to the end. With `own`, the directory's own id.
bool ListDirectory(const std::wstring& directory, std::vector<ListedEntry>& found, PlaceId* own = nullptr);

// The id of what a path names, links followed; false when it cannot be
// opened.
bool IdOfPlace(const std::wstring& path, PlaceId& id);

}  // namespace korvalin
