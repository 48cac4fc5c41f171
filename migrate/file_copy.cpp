#include "migrate/file_copy.h"

#include "image/declared_functions.h"
#include "migrate/file_handles.h"

namespace korvalin {
namespace {

constexpr DWORD kBlockBytes = kCopyBlockBytes;
// A file's streams as the file system lists them; a file with more names
// than fit is rare enough to be copied without the rest.
constexpr DWORD kStreamListBytes = 16 * 1024;
constexpr wchar_t kDataStream[] = L"::$DATA";

enum class Copied { kWhole, kFailed, kCancelled };

// The data of an open source into an open target; `progress` may be null.
Copied CopyData(HANDLE source, HANDLE target, std::vector<char>& block, CopyProgress* progress, int64_t& done) {
  for (;;) {
    if (progress && progress->cancelled()) return Copied::kCancelled;
    DWORD read = 0;
    if (!dll::ReadFile(source, block.data(), kBlockBytes, &read, nullptr)) return Copied::kFailed;
    if (read == 0) return Copied::kWhole;
    DWORD written = 0;
    if (!dll::WriteFile(target, block.data(), read, &written, nullptr) || written != read) return Copied::kFailed;
    done += read;
    if (progress) progress->addBytes(read);
    // A short read is the end of a file; no further call is needed to see it.
    if (read < kBlockBytes) return Copied::kWhole;
  }
}

// Named streams (the mark of a file downloaded from the internet among
// them) go along where the file system keeps them; where it keeps none,
// the question fails and there is nothing to copy.
bool CopyStreams(HANDLE source, const std::wstring& from, const std::wstring& to, std::vector<char>& block) {
  std::vector<int64_t> buffer(kStreamListBytes / sizeof(int64_t));
  if (!dll::GetFileInformationByHandleEx(source, FileStreamInfo, buffer.data(), kStreamListBytes)) return true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
  for (size_t offset = 0;;) {
    const auto& info = *reinterpret_cast<const FILE_STREAM_INFO*>(bytes + offset);
    const std::wstring name(info.StreamName, info.StreamNameLength / sizeof(wchar_t));
    if (!name.empty() && name != kDataStream) {
      FileHandle in(dll::CreateFileW((from + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
      FileHandle out(dll::CreateFileW((to + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
      int64_t done = 0;
      if (!in.valid() || !out.valid() || CopyData(in.get(), out.get(), block, nullptr, done) != Copied::kWhole)
        return false;
    }
    if (info.NextEntryOffset == 0) return true;
    offset += info.NextEntryOffset;
  }
}

LARGE_INTEGER Whole(const FILETIME& time) {
  LARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = static_cast<LONG>(time.dwHighDateTime);
  return value;
}

// Times and attributes last: a read-only copy takes no more writes.
void SetTimesAndAttributes(HANDLE target, const ListedEntry& listed) {
  FILE_BASIC_INFO basic = {};
  basic.CreationTime = Whole(listed.created);
  basic.LastAccessTime = Whole(listed.accessed);
  basic.LastWriteTime = Whole(listed.written);
  // 0 leaves the attributes as the new file has them.
  basic.FileAttributes = listed.attributes & kAttributesToKeep;
  dll::SetFileInformationByHandle(target, FileBasicInfo, &basic, sizeof basic);
}

void DeleteOnClose(HANDLE file) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  dll::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

std::vector<char> NewCopyBlock() { return std::vector<char>(kBlockBytes); }

FileCopyResult CopyOneFile(const std::wstring& from, const std::wstring& to, const ListedEntry& listed,
                           std::vector<char>& block, CopyProgress& progress, int64_t* copied, DWORD* error) {
  *copied = 0;
  DWORD ignored = 0;
  DWORD& failure = error ? *error : ignored;
  FileHandle source(dll::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) {
    failure = dll::GetLastError();
    return FileCopyResult::kFailed;
  }
  FileHandle target(dll::CreateFileW(to.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!target.valid()) {
    failure = dll::GetLastError();
    return FileCopyResult::kFailed;
  }
  const Copied data = CopyData(source.get(), target.get(), block, &progress, *copied);
  if (data == Copied::kWhole && CopyStreams(source.get(), from, to, block)) {
    // As a copy by hand would, the data counts even where the file system
    // keeps no such attribute or time.
    SetTimesAndAttributes(target.get(), listed);
    return FileCopyResult::kCopied;
  }
  failure = dll::GetLastError();
  DeleteOnClose(target.get());
  return data == Copied::kCancelled ? FileCopyResult::kCancelled : FileCopyResult::kFailed;
}

}  // namespace korvalin
