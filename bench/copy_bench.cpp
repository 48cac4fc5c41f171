// Copy timings for one run; scripts/bench.sh interleaves the runs with
// `cp -r` on the same trees and takes the medians.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "migrate/copy_check.h"
#include "migrate/folder_copy.h"

namespace korvalin::bench {
namespace {

// Incompressible content, different in every file.
void FillBytes(std::vector<uint8_t>& bytes, uint32_t seed) {
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    std::memcpy(&bytes[i], &x, 4);
  }
}

bool WriteDataFile(const std::string& path, std::vector<uint8_t>& bytes, uint32_t seed) {
  FillBytes(bytes, seed);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// small: 2,000 files of 4 KiB in 20 folders; large: 20 files of 10 MiB.
int Prepare(const std::string& root) {
  CreateDirectoryA(root.c_str(), nullptr);
  std::string small = root + "\\small", large = root + "\\large";
  CreateDirectoryA(small.c_str(), nullptr);
  CreateDirectoryA(large.c_str(), nullptr);
  std::vector<uint8_t> bytes(4096);
  for (int folder = 0; folder < 20; ++folder) {
    std::string directory = small + "\\folder" + std::to_string(folder);
    CreateDirectoryA(directory.c_str(), nullptr);
    for (int i = 0; i < 100; ++i)
      if (!WriteDataFile(directory + "\\file" + std::to_string(i) + ".txt", bytes, folder * 100 + i)) return 1;
  }
  bytes.assign(10u << 20, 0);
  for (int i = 0; i < 20; ++i)
    if (!WriteDataFile(large + "\\video" + std::to_string(i) + ".bin", bytes, 5000 + i)) return 1;
  return 0;
}

int CopyWithKorvalin(const char* source, const char* destination) {
  double start = Now();
  bool copied = CopyFolderTree(source, destination);
  double afterCopy = Now();
  bool complete = TreeCopiedTo(source, destination);
  double end = Now();
  std::printf("copy=%.6f verify=%.6f ok=%d\n", afterCopy - start, end - afterCopy, copied && complete);
  return copied && complete ? 0 : 1;
}

int CopyWithShell(const char* source, const char* destination) {
  std::string from = std::string(source) + "\\*";
  from.push_back('\0');  // the list ends with two zeros
  std::string to = destination;
  to.push_back('\0');
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
  double start = Now();
  CreateDirectoryA(destination, nullptr);
  int result = SHFileOperationA(&operation);
  double end = Now();
  bool complete = result == 0 && TreeCopiedTo(source, destination);
  std::printf("copy=%.6f verify=0 ok=%d\n", end - start, complete);
  return complete ? 0 : 1;
}

// The platform's own per-file copy, file by file through the tree: what
// the file-system object's copy costs beneath it.
bool CopyFilesBelow(const std::string& source, const std::string& destination) {
  CreateDirectoryA(destination.c_str(), nullptr);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((source + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool copied = true;
  do {
    std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    std::string from = source + "\\" + name, to = destination + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      copied &= CopyFilesBelow(from, to);
    else
      copied &= CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return copied;
}

int CopyWithCopyFile(const char* source, const char* destination) {
  double start = Now();
  bool copied = CopyFilesBelow(source, destination);
  double end = Now();
  bool complete = copied && TreeCopiedTo(source, destination);
  std::printf("copy=%.6f verify=0 ok=%d\n", end - start, complete);
  return complete ? 0 : 1;
}

}  // namespace

int RunCopyBenchmark(int argc, char** argv) {
  const std::string mode = argv[1];
  if (mode == "copy-prepare" && argc >= 3) return Prepare(argv[2]);
  if (mode == "copy-korvalin" && argc >= 4) return CopyWithKorvalin(argv[2], argv[3]);
  if (mode == "copy-shell" && argc >= 4) return CopyWithShell(argv[2], argv[3]);
  if (mode == "copy-files" && argc >= 4) return CopyWithCopyFile(argv[2], argv[3]);
  std::fprintf(stderr, "copy: unknown arguments\n");
  return 2;
}

}  // namespace korvalin::bench
