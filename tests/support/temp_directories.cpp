// Temporary directories of a test process. They go when the process's
// cases are done: left behind, they pile up in the prefix's one temporary
// directory, and the folder browser, which lists it, slows with them.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

std::vector<std::string>& Made() {
  static std::vector<std::string> made;
  return made;
}

// A link is removed as the entry it is; what it points at stays.
void RemoveEntry(const std::string& path, DWORD attributes);

void RemoveContents(const std::string& directory) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::pair<std::string, DWORD>> entries;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") entries.emplace_back(directory + "\\" + name, found.dwFileAttributes);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  for (const auto& [path, attributes] : entries) RemoveEntry(path, attributes);
}

void RemoveEntry(const std::string& path, DWORD attributes) {
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
    SetFileAttributesA(path.c_str(), attributes & FILE_ATTRIBUTE_DIRECTORY ? FILE_ATTRIBUTE_DIRECTORY
                                                                            : FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveContents(path);
  RemoveDirectoryA(path.c_str());
}

}  // namespace

std::string MakeTempDirectory(const std::string& hint) {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  // Process ids come round again under Wine: only a directory this call
  // made itself is fresh.
  static unsigned serial = GetTickCount();
  for (;;) {
    std::string dir = std::string(base) + "korvalin-" + hint + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(++serial);
    if (CreateDirectoryA(dir.c_str(), nullptr)) {
      Made().push_back(dir);
      return dir;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return dir;
  }
}

void RemoveTempDirectories() {
  for (const std::string& dir : Made()) {
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) RemoveEntry(dir, attributes);
  }
  Made().clear();
}

}  // namespace korvalin::test
