#include "migrate/file_copy.h"

#include "image/declared_functions.h"
#include "migrate/file_handles.h"

namespace korvalin {
namespace {

constexpr DWORD kBlockBytes = kCopyBlockBytes;

int64_t CopyContents(HANDLE source, HANDLE target, std::vector<char>& block, CopyProgress& progress) {
  int64_t done = 0;
  for (;;) {
    DWORD read = 0;
    if (!dll::ReadFile(source, block.data(), kBlockBytes, &read, nullptr)) return -1;
    if (read == 0) return done;
    DWORD written = 0;
    if (!dll::WriteFile(target, block.data(), read, &written, nullptr) || written != read) return -1;
    done += read;
    progress.addBytes(read);
    // A short read is the end of a file; no further call is needed to see it.
    if (read < kBlockBytes) return done;
  }
}

HANDLE CreateTarget(const std::string& to, DWORD disposition) {
  return dll::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// A new name is created as new: overwriting an empty file truncates it,
// which on ext4 under Wine flushes it to disk at close, and costs a look
// at a missing name too. A file of that name may be read-only, hidden or
// system, which a copy over it is refused for, so it loses those
// attributes first.
HANDLE OpenTarget(const std::string& to) {
  HANDLE created = CreateTarget(to, CREATE_NEW);
  if (created != INVALID_HANDLE_VALUE) return created;
  const DWORD error = dll::GetLastError();
  if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  DWORD existing = dll::GetFileAttributesA(to.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    dll::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  return CreateTarget(to, CREATE_ALWAYS);
}

}  // namespace

std::vector<char> NewCopyBlock() { return std::vector<char>(kBlockBytes); }

int64_t CopyOneFile(const std::string& from, const std::string& to, std::vector<char>& block,
                    CopyProgress& progress) {
  FileHandle source(dll::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) return -1;
  FileHandle target(OpenTarget(to));
  if (!target.valid()) return -1;
  const int64_t copied = CopyContents(source.get(), target.get(), block, progress);
  FILETIME created, accessed, written;
  if (copied >= 0 && dll::GetFileTime(source.get(), &created, &accessed, &written))
    dll::SetFileTime(target.get(), &created, &accessed, &written);
  return copied;
}

}  // namespace korvalin
