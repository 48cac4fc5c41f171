#include "runtime/commands/directory_tree.h"

#include <windows.h>

#include <algorithm>

#include "runtime/values/code_page_characters.h"
#include "runtime/commands/support.h"

namespace rt::commands {
namespace {

using detail::String;

bool StartsWith(const String& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool SameText(const String& a, const String& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A trail byte 0x5C ends its character, not the path.
void DropTrailingSeparators(String& path) {
  for (;;) {
    const size_t slash = LastSeparator(path), forward = LastSeparator(path, '/');
    const size_t last = slash == String::npos ? forward : (forward == String::npos ? slash : std::max(slash, forward));
    if (path.empty() || last != path.size() - 1) return;
    path.pop_back();
  }
}

// "C:" or the root of \\server\share, once separators are dropped.
bool IsDriveOrShareRoot(const String& normal) {
  if (normal.size() <= 2) return true;
  if (!StartsWith(normal, "\\\\")) return false;
  size_t slash = normal.find('\\', 2);
  return slash == String::npos || normal.find('\\', slash + 1) == String::npos;
}

// The volume (or mount point) holding the path is the path itself.
bool IsVolumeRoot(const String& normal) {
  char volume[MAX_PATH * 2] = {};
  String probe = normal + "\\";
  if (!GetVolumePathNameA(probe.c_str(), volume, sizeof volume)) return true;  // unknown: not ours to empty
  String root(volume);
  DropTrailingSeparators(root);
  return SameText(root, normal);
}

}  // namespace

bool RefusesTreeDeletion(const char* text) {
  const String path(text ? text : "");
  if (path.empty()) return true;
  if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || (path.size() == 3 && path[2] == '\\')))
    return true;
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return true;
  String normal(full, n);
  if (StartsWith(normal, "\\\\?\\") || StartsWith(normal, "\\\\.\\")) {
    normal.erase(0, 4);
    if (StartsWith(normal, "UNC\\")) {
      normal.replace(0, 4, "\\\\");
    } else if (!(normal.size() >= 2 && normal[1] == ':')) {
      // Volume{...}, GLOBALROOT, a device: only drive and share paths are
      // spelt here, so nothing else is known not to be a whole volume.
      return true;
    }
  }
  DropTrailingSeparators(normal);
  return IsDriveOrShareRoot(normal) || IsVolumeRoot(normal);
}

bool DeleteTree(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return RemoveDirectoryA(path) != 0;  // the link only

  struct Pending {
    String path;
    bool listed;
  };
  detail::Vector<Pending> pending = {{path, false}};
  while (!pending.empty()) {
    if (pending.back().listed) {
      // Its contents are gone (or stayed for a reason); failures are ignored.
      if (pending.size() > 1) RemoveDirectoryA(pending.back().path.c_str());
      pending.pop_back();
      continue;
    }
    pending.back().listed = true;
    const String directory = pending.back().path;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if (entry.cFileName[0] == '.') continue;
      String child = directory + "\\" + entry.cFileName;
      const bool isDirectory = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
      const bool isLink = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
      if (isDirectory && !isLink) pending.push_back({child, false});
      else if (isDirectory) RemoveDirectoryA(child.c_str());
      else DeleteFileA(child.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  return RemoveDirectoryA(path) != 0;
}

}  // namespace rt::commands
