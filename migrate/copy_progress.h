// How far a copy has come, shared between the threads that copy and the
// one that shows it, and the request to stop.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace korvalin {

class CopyProgress {
 public:
  CopyProgress(int64_t filesTotal, int64_t bytesTotal) : filesTotal_(filesTotal), bytesTotal_(bytesTotal) {}

  int64_t filesTotal() const { return filesTotal_; }
  int64_t bytesTotal() const { return bytesTotal_; }
  int64_t filesDone() const { return filesDone_.load(); }
  int64_t bytesDone() const { return bytesDone_.load(); }
  std::wstring currentFile() const {
    std::lock_guard<std::mutex> lock(nameLock_);
    return currentFile_;
  }

  // The copy stops within the block it is at.
  void cancel() { cancelled_ = true; }
  bool cancelled() const { return cancelled_.load(); }

  // The copiers' side; more than one file may be under way at a time.
  void startFile(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(nameLock_);
    currentFile_ = name;
  }
  void addBytes(int64_t bytes) { bytesDone_ += bytes; }
  // A file done counts as its planned size, whatever its blocks added.
  void finishFile(int64_t plannedSize, int64_t copiedBytes) {
    bytesDone_ += plannedSize - copiedBytes;
    ++filesDone_;
  }

 private:
  const int64_t filesTotal_;
  const int64_t bytesTotal_;
  std::atomic<int64_t> filesDone_{0};
  std::atomic<int64_t> bytesDone_{0};
  std::atomic<bool> cancelled_{false};
  mutable std::mutex nameLock_;
  std::wstring currentFile_;
};

}  // namespace korvalin
