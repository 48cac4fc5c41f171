#include "migrate/directory_listing.h"

#include "migrate/file_handles.h"

namespace korvalin {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Large enough for a few hundred entries a call.
constexpr DWORD kListingBytes = 64 * 1024;

int64_t Whole(const LARGE_INTEGER& value) { return value.QuadPart; }

FILETIME TimeOf(const LARGE_INTEGER& value) {
  return FILETIME{static_cast<DWORD>(value.QuadPart & 0xFFFFFFFF), static_cast<DWORD>(value.QuadPart >> 32)};
}

bool IsDotEntry(const FILE_ID_BOTH_DIR_INFO& info) {
  const DWORD units = info.FileNameLength / sizeof(wchar_t);
  return (units == 1 && info.FileName[0] == L'.') ||
         (units == 2 && info.FileName[0] == L'.' && info.FileName[1] == L'.');
}

bool IdOfHandle(HANDLE handle, PlaceId& id) {
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!dll::GetFileInformationByHandle(handle, &information)) return false;
  id.volume = information.dwVolumeSerialNumber;
  id.fileId = (static_cast<int64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return true;
}

}  // namespace

bool ListDirectory(const std::wstring& directory, std::vector<ListedEntry>& found, PlaceId* own) {
  FileHandle handle(dll::CreateFileW(directory.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return false;
  if (own && !IdOfHandle(handle.get(), *own)) return false;
  // 8-byte aligned: the records hold 64-bit fields.
  std::vector<int64_t> buffer(kListingBytes / sizeof(int64_t));
  for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
    if (!dll::GetFileInformationByHandleEx(handle.get(), kind, buffer.data(), kListingBytes)) {
      // Some file systems answer a first look into an empty root this way.
      const DWORD error = dll::GetLastError();
      return error == ERROR_NO_MORE_FILES || (error == ERROR_FILE_NOT_FOUND && kind == FileIdBothDirectoryRestartInfo);
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    for (size_t offset = 0;;) {
      const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
      if (!IsDotEntry(info)) {
        ListedEntry entry;
        entry.name.assign(info.FileName, info.FileNameLength / sizeof(wchar_t));
        entry.attributes = info.FileAttributes;
        entry.size = Whole(info.EndOfFile);
        entry.created = TimeOf(info.CreationTime);
        entry.accessed = TimeOf(info.LastAccessTime);
        entry.written = TimeOf(info.LastWriteTime);
        entry.changed = Whole(info.ChangeTime);
        entry.fileId = Whole(info.FileId);
        found.push_back(std::move(entry));
      }
      if (info.NextEntryOffset == 0) break;
      offset += info.NextEntryOffset;
    }
  }
}

bool IdOfPlace(const std::wstring& path, PlaceId& id) {
  FileHandle handle(dll::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.valid() && IdOfHandle(handle.get(), id);
}

}  // namespace korvalin
