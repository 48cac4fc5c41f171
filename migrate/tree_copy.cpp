#include "migrate/tree_copy.h"

#include <atomic>
#include <map>
#include <mutex>
#include <new>

#include "image/declared_functions.h"
#include "migrate/file_copy.h"
#include "migrate/long_path.h"

namespace korvalin {
namespace {

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = dll::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ParentPart(const std::wstring& relative) {
  const size_t cut = relative.rfind(L'\\');
  return cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
}

// The planned files, copied by two threads at once, each taking the next
// file when it is done with one: one thread leaves the second core idle on
// large files, and more would only add seeks on a disk. A failure or a
// cancel lets each thread stop within the file it holds.
class FileCopiers {
 public:
  FileCopiers(const TreePlan& plan, const std::wstring& to, CopyProgress& progress)
      : plan_(plan), to_(to), progress_(progress) {}

  void run() {
    std::vector<char> block = NewCopyBlock();
    HANDLE second = dll::CreateThread(nullptr, 0, &FileCopiers::Work, this, 0, nullptr);
    work(block);
    join(second);
  }
  // The failed file first in the plan's order, when any failed, and why.
  const TreeEntry* failedEntry() const { return failed_; }
  DWORD failedError() const { return failedError_; }
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
      if (entry.directory()) continue;
      if (progress_.cancelled()) {
        cancel();
        return;
      }
      DWORD error = 0;
      const FileCopyResult result = copy(index, block, error);
      if (result == FileCopyResult::kCancelled) {
        cancel();
        return;
      }
      if (result == FileCopyResult::kFailed) {
        fail(entry, error);
        return;
      }
    }
  }

  // Out of memory for a path is a failed file like any other.
  FileCopyResult copy(size_t index, std::vector<char>& block, DWORD& error) try {
    const TreeEntry& entry = plan_.entries[index];
    progress_.startFile(entry.relative);
    int64_t copied = 0;
    const FileCopyResult result = CopyOneFile(JoinPath(plan_.folder, entry.relative), CopyPlace(plan_, index, to_),
                                              entry.listed, block, progress_, &copied, &error);
    if (result == FileCopyResult::kCopied) progress_.finishFile(entry.listed.size, copied);
    return result;
  } catch (const std::bad_alloc&) {
    return FileCopyResult::kFailed;
  }

  void cancel() {
    cancelled_ = true;
    stop_ = true;
  }

  void fail(const TreeEntry& entry, DWORD error) {
    std::lock_guard<std::mutex> lock(failedLock_);
    if (!failed_ || &entry < failed_) {
      failed_ = &entry;
      failedError_ = error;
    }
    stop_ = true;
  }

  const TreePlan& plan_;
  const std::wstring& to_;
  CopyProgress& progress_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> cancelled_{false};
  std::mutex failedLock_;
  const TreeEntry* failed_ = nullptr;
  DWORD failedError_ = 0;
};

}  // namespace

bool MakeDirectoryPath(const std::wstring& path) {
  if (dll::CreateDirectoryW(path.c_str(), nullptr) || IsDirectory(path)) return true;
  const std::wstring parent = ParentOf(path);
  if (parent.empty() || parent == path || !MakeDirectoryPath(parent)) return false;
  return dll::CreateDirectoryW(path.c_str(), nullptr) || IsDirectory(path);
}

std::wstring WaitingName(const TreePlan& plan, size_t index, const std::wstring& to) {
  static const std::wstring process = std::to_wstring(dll::GetCurrentProcessId());
  return JoinPath(JoinPath(to, ParentPart(plan.entries[index].relative)),
                  L"~korvalin-" + process + L"-" + std::to_wstring(index) + L".new");
}

std::wstring CopyPlace(const TreePlan& plan, size_t index, const std::wstring& to) {
  const TreeEntry& entry = plan.entries[index];
  return entry.replaces ? WaitingName(plan, index, to) : JoinPath(to, entry.relative);
}

void DeleteWaitingCopies(const TreePlan& plan, const std::wstring& to) {
  for (size_t i = 0; i < plan.entries.size(); ++i) {
    if (!plan.entries[i].replaces) continue;
    // A copy took its source's attributes, read-only among them.
    const std::wstring waiting = WaitingName(plan, i, to);
    dll::SetFileAttributesW(waiting.c_str(), FILE_ATTRIBUTE_NORMAL);
    dll::DeleteFileW(waiting.c_str());
  }
}

CopyReport CopyTree(const TreePlan& plan, const std::wstring& to, CopyProgress& progress) {
  CopyReport report;
  // Bound before a second thread calls it.
  dll::GetLastError();
  if (progress.cancelled()) {
    report.outcome = CopyOutcome::kCancelled;
    return report;
  }
  if (!MakeDirectoryPath(to)) {
    report.error = dll::GetLastError();
    return report;
  }
  for (const TreeEntry& entry : plan.entries) {
    if (!entry.directory()) continue;
    const std::wstring path = JoinPath(to, entry.relative);
    if (!dll::CreateDirectoryW(path.c_str(), nullptr) && !IsDirectory(path)) {
      report.failedEntry = entry.relative;
      report.error = dll::GetLastError();
      return report;
    }
  }
  FileCopiers copiers(plan, to, progress);
  copiers.run();
  if (copiers.failedEntry() || copiers.cancelled()) {
    DeleteWaitingCopies(plan, to);
    if (copiers.failedEntry()) {
      report.failedEntry = copiers.failedEntry()->relative;
      report.error = copiers.failedError();
    } else {
      report.outcome = CopyOutcome::kCancelled;
    }
    return report;
  }
  // Directory attributes last: a read-only directory still took its files.
  for (auto entry = plan.entries.rbegin(); entry != plan.entries.rend(); ++entry) {
    if (entry->directory() && (entry->listed.attributes & kAttributesToKeep))
      dll::SetFileAttributesW(JoinPath(to, entry->relative).c_str(), entry->listed.attributes & kAttributesToKeep);
  }
  report.outcome = CopyOutcome::kCopied;
  return report;
}

bool CopyVerified(const TreePlan& plan, const std::wstring& to) {
  if (!plan.complete) return false;
  // Each destination directory listed once, names as the file system
  // compares them.
  std::map<std::wstring, std::map<std::wstring, ListedEntry>> listings;
  for (size_t i = 0; i < plan.entries.size(); ++i) {
    const TreeEntry& entry = plan.entries[i];
    const std::wstring parent = ParentPart(entry.relative);
    auto listed = listings.find(parent);
    if (listed == listings.end()) {
      std::vector<ListedEntry> found;
      std::map<std::wstring, ListedEntry> byName;
      if (ListDirectory(JoinPath(to, parent), found))
        for (ListedEntry& item : found) byName.emplace(NameKey(item.name), std::move(item));
      listed = listings.emplace(parent, std::move(byName)).first;
    }
    const auto there = listed->second.find(NameKey(LastPart(CopyPlace(plan, i, to))));
    if (there == listed->second.end()) return false;
    const ListedEntry& copy = there->second;
    if (copy.link() || copy.directory() != entry.directory()) return false;
    if (!entry.directory() && copy.size != entry.listed.size) return false;
  }
  return true;
}

}  // namespace korvalin
