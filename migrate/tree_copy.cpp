#include "migrate/tree_copy.h"

#include <map>

#include "image/declared_functions.h"
#include "migrate/file_handles.h"

namespace korvalin {
namespace {

constexpr DWORD kAttributesToKeep = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string Join(const std::string& folder, const std::string& relative) { return folder + "\\" + relative; }

// 256 KiB: under Wine larger blocks were slower (4 MiB took two to four
// times as long on the benchmark's large files), smaller ones cost more
// calls.
constexpr DWORD kBlockBytes = 256 * 1024;

bool CopyContents(HANDLE source, HANDLE target, std::vector<char>& block, CopyProgress& progress) {
  int64_t done = 0;
  for (;;) {
    DWORD read = 0;
    if (!dll::ReadFile(source, block.data(), kBlockBytes, &read, nullptr)) return false;
    if (read == 0) return true;
    DWORD written = 0;
    if (!dll::WriteFile(target, block.data(), read, &written, nullptr) || written != read) return false;
    done += read;
    progress.fileBytes(done);
    // A short read is the end of a file; no further call is needed to see it.
    if (read < kBlockBytes) return true;
  }
}

HANDLE CreateTarget(const std::string& to) {
  return dll::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// A file of that name may be read-only, hidden or system, which a copy over
// it is refused for, so it loses those attributes first. A new file needs
// no look at what is there: under Wine the look at a missing name reads the
// whole directory, once more for every file of a tree.
HANDLE OpenTarget(const std::string& to) {
  HANDLE created = CreateTarget(to);
  if (created != INVALID_HANDLE_VALUE && dll::GetLastError() != ERROR_ALREADY_EXISTS) return created;
  if (created != INVALID_HANDLE_VALUE) dll::CloseHandle(created);
  DWORD existing = dll::GetFileAttributesA(to.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    dll::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  return CreateTarget(to);
}

// The copy keeps the file's times.
bool CopyFile(const std::string& from, const std::string& to, std::vector<char>& block, CopyProgress& progress) {
  FileHandle source(dll::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) return false;
  FileHandle target(OpenTarget(to));
  if (!target.valid() || !CopyContents(source.get(), target.get(), block, progress)) return false;
  FILETIME created, accessed, written;
  if (dll::GetFileTime(source.get(), &created, &accessed, &written))
    dll::SetFileTime(target.get(), &created, &accessed, &written);
  return true;
}

bool MakeDirectory(const std::string& path) {
  if (dll::CreateDirectoryA(path.c_str(), nullptr)) return true;
  DWORD attributes = dll::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

int64_t SizeOf(const WIN32_FIND_DATAA& found) {
  return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// One directory's listing by name; empty when it cannot be listed.
std::map<std::string, WIN32_FIND_DATAA> ListByName(const std::string& directory) {
  std::vector<WIN32_FIND_DATAA> found;
  std::map<std::string, WIN32_FIND_DATAA> byName;
  if (!ListDirectory(directory, found)) return byName;
  for (const WIN32_FIND_DATAA& entry : found) byName.emplace(entry.cFileName, entry);
  return byName;
}

// Each planned entry's place: its directory and its name.
std::pair<std::string, std::string> Split(const std::string& relative) {
  size_t cut = relative.rfind('\\');
  if (cut == std::string::npos) return {"", relative};
  return {relative.substr(0, cut), relative.substr(cut + 1)};
}

// Looks entries up listing by listing, each directory listed once.
class Listings {
 public:
  explicit Listings(const std::string& folder) : folder_(folder) {}
  const WIN32_FIND_DATAA* find(const std::string& relative) {
    auto [directory, name] = Split(relative);
    auto listed = listings_.find(directory);
    if (listed == listings_.end())
      listed = listings_.emplace(directory, ListByName(directory.empty() ? folder_ : Join(folder_, directory))).first;
    auto entry = listed->second.find(name);
    return entry == listed->second.end() ? nullptr : &entry->second;
  }

 private:
  std::string folder_;
  std::map<std::string, std::map<std::string, WIN32_FIND_DATAA>> listings_;
};

int64_t CountEntries(const std::string& directory) {
  std::vector<WIN32_FIND_DATAA> found;
  ListDirectory(directory, found);
  int64_t count = 0;
  for (const WIN32_FIND_DATAA& entry : found) {
    ++count;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      count += CountEntries(Join(directory, entry.cFileName));
  }
  return count;
}

}  // namespace

CopyReport CopyTree(const std::string& from, const std::string& to, const TreePlan& plan, CopyProgress& progress) {
  CopyReport report;
  // Bound before a file's creation is judged by the last error.
  dll::GetLastError();
  if (!MakeDirectory(to)) return report;
  std::vector<char> block(kBlockBytes);
  for (const TreeEntry& entry : plan.entries) {
    if (progress.cancelled()) {
      report.outcome = CopyOutcome::kCancelled;
      return report;
    }
    const std::string target = Join(to, entry.relative);
    if (entry.directory) {
      if (!MakeDirectory(target)) {
        report.failedEntry = entry.relative;
        return report;
      }
      continue;
    }
    progress.startFile(entry.relative);
    if (!CopyFile(Join(from, entry.relative), target, block, progress)) {
      report.failedEntry = entry.relative;
      return report;
    }
    if (entry.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
      dll::SetFileAttributesA(target.c_str(), entry.attributes & kAttributesToKeep);
    progress.finishFile(entry.size);
  }
  // Directory attributes last: a read-only directory still took its files.
  for (auto entry = plan.entries.rbegin(); entry != plan.entries.rend(); ++entry) {
    if (entry->directory && (entry->attributes & kAttributesToKeep))
      dll::SetFileAttributesA(Join(to, entry->relative).c_str(), entry->attributes & kAttributesToKeep);
  }
  report.outcome = CopyOutcome::kCopied;
  return report;
}

bool CopyVerified(const std::string& to, const TreePlan& plan) {
  if (!plan.complete) return false;
  Listings copied(to);
  for (const TreeEntry& entry : plan.entries) {
    const WIN32_FIND_DATAA* found = copied.find(entry.relative);
    if (!found) return false;
    const bool isDirectory = (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isDirectory != entry.directory) return false;
    if (!entry.directory && SizeOf(*found) != entry.size) return false;
  }
  return true;
}

ClearReport ClearCopiedEntries(const std::string& from, const TreePlan& plan) {
  ClearReport report;
  // A folder that is itself a link holds someone else's files: they stay.
  const DWORD own = dll::GetFileAttributesA(from.c_str());
  if (own == INVALID_FILE_ATTRIBUTES || (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
    report.kept = CountEntries(from);
    return report;
  }
  Listings now(from);
  for (const TreeEntry& entry : plan.entries) {
    if (entry.directory) continue;
    const WIN32_FIND_DATAA* found = now.find(entry.relative);
    // Changed since it was copied: the copy is not this file any more.
    if (!found || (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || SizeOf(*found) != entry.size ||
        !SameTime(found->ftLastWriteTime, entry.written))
      continue;
    const std::string path = Join(from, entry.relative);
    if (found->dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
      dll::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (dll::DeleteFileA(path.c_str())) ++report.deleted;
  }
  // Deepest first; one that still holds something stays.
  for (auto entry = plan.entries.rbegin(); entry != plan.entries.rend(); ++entry) {
    if (!entry->directory) continue;
    const std::string path = Join(from, entry->relative);
    const bool readOnly = (entry->attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) dll::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (dll::RemoveDirectoryA(path.c_str())) ++report.deleted;
    else if (readOnly) dll::SetFileAttributesA(path.c_str(), entry->attributes & kAttributesToKeep);
  }
  report.kept = CountEntries(from);
  return report;
}

}  // namespace korvalin
