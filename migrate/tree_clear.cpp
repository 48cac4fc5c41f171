#include "migrate/tree_clear.h"

#include "image/declared_functions.h"
#include "migrate/directory_listing.h"
#include "migrate/file_copy.h"
#include "migrate/file_handles.h"
#include "migrate/long_path.h"
#include "migrate/tree_copy.h"

namespace korvalin {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int64_t CountEntries(const std::wstring& directory) {
  std::vector<ListedEntry> found;
  ListDirectory(directory, found);
  int64_t count = 0;
  for (const ListedEntry& entry : found) {
    ++count;
    if (entry.directory() && !entry.link()) count += CountEntries(JoinPath(directory, entry.name));
  }
  return count;
}

int64_t Whole(const FILETIME& time) {
  return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The entry as it stands now, opened without following a link.
FileHandle OpenForDeletion(const std::wstring& path) {
  return FileHandle(dll::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                     nullptr));
}

// True when the open entry is the one the plan listed and lies in the
// folder where the system says the folder really is.
bool StillThePlanned(HANDLE handle, const TreeEntry& entry, const std::wstring& folderPlace) {
  BY_HANDLE_FILE_INFORMATION information = {};
  FILE_BASIC_INFO basic = {};
  if (!dll::GetFileInformationByHandle(handle, &information) ||
      !dll::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
    return false;
  const ListedEntry& planned = entry.listed;
  const bool directory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const int64_t id = (static_cast<int64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || directory != entry.directory() ||
      id != planned.fileId)
    return false;
  if (!directory) {
    const int64_t size = (static_cast<int64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    if (size != planned.size || Whole(information.ftLastWriteTime) != Whole(planned.written) ||
        basic.ChangeTime.QuadPart != planned.changed)
      return false;
  }
  const std::wstring place = ObjectNameOf(handle);
  return place != folderPlace && IsSameOrBelow(place, folderPlace);
}

// Deleted when the handle closes; a read-only entry loses the attribute
// first, and gets it back when it cannot go.
bool MarkForDeletion(HANDLE handle, DWORD attributes) {
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  FILE_BASIC_INFO basic = {};
  if (readOnly) {
    basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) ? (attributes & ~FILE_ATTRIBUTE_READONLY)
                                                                    : FILE_ATTRIBUTE_NORMAL;
    dll::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO disposition = {TRUE};
  if (dll::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition)) return true;
  if (readOnly) {
    basic.FileAttributes = attributes;
    dll::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  return false;
}

bool Flush(const std::wstring& path) {
  FileHandle file(dll::CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.valid() && dll::FlushFileBuffers(file.get()) != FALSE;
}

}  // namespace

bool FlushCopies(const TreePlan& plan, const std::wstring& to) {
  for (const TreeEntry& entry : plan.entries) {
    const std::wstring path = JoinPath(to, entry.relative);
    if (entry.directory()) {
      // Where the file system takes no flush of a directory, its files'
      // flushes are what there is.
      Flush(path);
      continue;
    }
    // A read-only copy takes no write access; it is flushed without the
    // attribute for a moment.
    const DWORD readOnly = entry.listed.attributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly) dll::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool flushed = Flush(path);
    if (readOnly) dll::SetFileAttributesW(path.c_str(), entry.listed.attributes & kAttributesToKeep);
    if (!flushed) return false;
  }
  Flush(to);
  return true;
}

ClearReport ClearCopiedEntries(const TreePlan& plan) {
  ClearReport report;
  // A folder that is itself a link holds someone else's files: they stay.
  const DWORD own = dll::GetFileAttributesW(plan.folder.c_str());
  FileHandle folder(dll::CreateFileW(plan.folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::wstring folderPlace = folder.valid() ? ObjectNameOf(folder.get()) : std::wstring();
  if (own == INVALID_FILE_ATTRIBUTES || (own & FILE_ATTRIBUTE_REPARSE_POINT) || folderPlace.empty()) {
    report.kept = CountEntries(plan.folder);
    return report;
  }
  for (const TreeEntry& entry : plan.entries) {
    if (entry.directory()) continue;
    FileHandle file = OpenForDeletion(JoinPath(plan.folder, entry.relative));
    if (file.valid() && StillThePlanned(file.get(), entry, folderPlace) &&
        MarkForDeletion(file.get(), entry.listed.attributes))
      ++report.deleted;
  }
  // Deepest first; one that still holds something stays.
  for (auto entry = plan.entries.rbegin(); entry != plan.entries.rend(); ++entry) {
    if (!entry->directory()) continue;
    FileHandle directory = OpenForDeletion(JoinPath(plan.folder, entry->relative));
    if (directory.valid() && StillThePlanned(directory.get(), *entry, folderPlace) &&
        MarkForDeletion(directory.get(), entry->listed.attributes))
      ++report.deleted;
  }
  report.kept = CountEntries(plan.folder);
  return report;
}

}  // namespace korvalin
