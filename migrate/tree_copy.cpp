#include "migrate/tree_copy.h"

#include <atomic>
#include <map>
#include <mutex>
#include <new>

#include "image/declared_functions.h"
#include "migrate/file_copy.h"
#include "migrate/file_handles.h"

namespace korvalin {
namespace {

constexpr DWORD kAttributesToKeep = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string Join(const std::string& folder, const std::string& relative) { return folder + "\\" + relative; }

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

// The planned files, copied by two threads at once, each taking the next
// file when it is done with one. Under Wine one thread leaves the second
// core idle on large files (five files of 200 MB: 140 ms with two threads,
// 180-500 ms with one, cp -r 170-190 ms); more threads would only add seeks
// on a disk, and gain nothing on small files, whose time is the Wine
// server's. A failure or a cancel lets each thread finish the file it holds
// and take no other.
class FileCopiers {
 public:
  FileCopiers(const std::string& from, const std::string& to, const TreePlan& plan, CopyProgress& progress)
      : from_(from), to_(to), plan_(plan), progress_(progress) {}

  void run() {
    std::vector<char> block = NewCopyBlock();
    HANDLE second = dll::CreateThread(nullptr, 0, &FileCopiers::Work, this, 0, nullptr);
    work(block);
    join(second);
  }
  // The failed file first in the plan's order, when any failed.
  const TreeEntry* failedEntry() const { return failed_; }
  bool cancelled() const { return cancelled_; }

 private:
  // A second thread without memory for its block copies nothing; the
  // first one takes every file then.
  static DWORD WINAPI Work(LPVOID copiers) {
    std::vector<char> block;
    try {
      block = NewCopyBlock();
    } catch (const std::bad_alloc&) {
      return 0;
    }
    static_cast<FileCopiers*>(copiers)->work(block);
    return 0;
  }

  static void join(HANDLE thread) {
    if (!thread) return;
    dll::WaitForSingleObject(thread, INFINITE);
    dll::CloseHandle(thread);
  }

  void work(std::vector<char>& block) {
    while (!stop_) {
      const size_t index = next_++;
      if (index >= plan_.entries.size()) return;
      const TreeEntry& entry = plan_.entries[index];
      if (entry.directory) continue;
      if (progress_.cancelled()) {
        cancelled_ = true;
        stop_ = true;
        return;
      }
      if (!copy(entry, block)) {
        fail(entry);
        return;
      }
    }
  }

  // Out of memory for a path is a failed file like any other.
  bool copy(const TreeEntry& entry, std::vector<char>& block) try {
    progress_.startFile(entry.relative);
    const std::string target = Join(to_, entry.relative);
    const int64_t copied = CopyOneFile(Join(from_, entry.relative), target, block, progress_);
    if (copied < 0) return false;
    if (entry.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
      dll::SetFileAttributesA(target.c_str(), entry.attributes & kAttributesToKeep);
    progress_.finishFile(entry.size, copied);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }

  void fail(const TreeEntry& entry) {
    std::lock_guard<std::mutex> lock(failedLock_);
    if (!failed_ || &entry < failed_) failed_ = &entry;
    stop_ = true;
  }

  const std::string& from_;
  const std::string& to_;
  const TreePlan& plan_;
  CopyProgress& progress_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> cancelled_{false};
  std::mutex failedLock_;
  const TreeEntry* failed_ = nullptr;
};

}  // namespace

CopyReport CopyTree(const std::string& from, const std::string& to, const TreePlan& plan, CopyProgress& progress) {
  CopyReport report;
  // Bound before a file's creation is judged by the last error, and before
  // a second thread calls it.
  dll::GetLastError();
  if (progress.cancelled()) {
    report.outcome = CopyOutcome::kCancelled;
    return report;
  }
  if (!MakeDirectory(to)) return report;
  for (const TreeEntry& entry : plan.entries) {
    if (entry.directory && !MakeDirectory(Join(to, entry.relative))) {
      report.failedEntry = entry.relative;
      return report;
    }
  }
  FileCopiers copiers(from, to, plan, progress);
  copiers.run();
  if (copiers.failedEntry()) {
    report.failedEntry = copiers.failedEntry()->relative;
    return report;
  }
  if (copiers.cancelled()) {
    report.outcome = CopyOutcome::kCancelled;
    return report;
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
