#include "tests/support/user_folders.h"

#include <windows.h>

namespace korvalin::test {
namespace {

std::vector<std::wstring> Subdirectories(const std::wstring& directory) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry = {};
  HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L".." && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      found.push_back(directory + L"\\" + name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// Where an entry really is; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[4096] = {};
  DWORD length = GetFinalPathNameByHandleW(file, buffer, 4096, FILE_NAME_NORMALIZED);
  CloseHandle(file);
  return length > 0 && length < 4096 ? std::wstring(buffer, length) : std::wstring();
}

std::string Narrow(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
  return out;
}

bool OnDriveC(const std::wstring& finalPath) {
  std::wstring path = finalPath.rfind(L"\\\\?\\", 0) == 0 ? finalPath.substr(4) : finalPath;
  return path.size() >= 3 && (path[0] == L'C' || path[0] == L'c') && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

std::vector<std::string> UserFolderLinksLeadingOutside() {
  std::vector<std::string> outside;
  for (const std::wstring& user : Subdirectories(L"C:\\users")) {
    for (const std::wstring& entry : Subdirectories(user)) {
      if (!(GetFileAttributesW(entry.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
      const std::wstring where = FinalPath(entry);
      if (!OnDriveC(where)) outside.push_back(Narrow(entry) + " -> " + (where.empty() ? "?" : Narrow(where)));
    }
  }
  return outside;
}

}  // namespace korvalin::test
