#include "migrate/copy_check.h"

#include <string>

#include "image/declared_functions.h"
#include "migrate/path_text.h"

namespace korvalin {
namespace {

// Links can make a tree loop; a copy this deep is not trusted.
constexpr int kMaxDepth = 64;

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) dll::FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) dll::CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The file's size, or -1 when it cannot be opened for reading.
int64_t ReadableSize(const std::string& path) {
  FileHandle file(dll::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return -1;
  LARGE_INTEGER size = {};
  if (!dll::GetFileSizeEx(file.get(), &size)) return -1;
  return size.QuadPart;
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool FileCopied(const std::string& source, const std::string& destination) {
  int64_t size = ReadableSize(source);
  return size >= 0 && ReadableSize(destination) == size;
}

bool DirectoryCopied(const std::string& source, const std::string& destination, int depth) {
  if (depth > kMaxDepth) return false;
  WIN32_FIND_DATAA found = {};
  FindHandle search(dll::FindFirstFileA((source + "\\*").c_str(), &found));
  if (!search.valid()) return false;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    std::string from = source + "\\" + found.cFileName;
    std::string to = destination + "\\" + found.cFileName;
    bool copied = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DirectoryCopied(from, to, depth + 1)
                                                                      : FileCopied(from, to);
    if (!copied) return false;
  } while (dll::FindNextFileA(search.get(), &found));
  return dll::GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

bool TreeCopiedTo(const char* source, const char* destination) {
  std::string from = TidySeparators(source ? source : "");
  std::string to = TidySeparators(destination ? destination : "");
  if (from.empty() || to.empty()) return false;
  // Binding a declared function at its first call may itself set the last
  // error, so it is bound before a listing relies on it.
  dll::GetLastError();
  return DirectoryCopied(from, to, 0);
}

}  // namespace korvalin
