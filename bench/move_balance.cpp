// Moves of a small folder with its files through the program's own change
// operation, between two scratch directories, the folder's value kept under
// HKCU\Software\KorvalinBench. A host of the benchmark's answers for the
// user: the chosen directory, yes to every question, the copy on this thread.
#include "bench/move_balance.h"

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "migrate/folder_operation.h"

namespace korvalin::bench {
namespace {

constexpr char kKeyParent[] = "Software";
constexpr char kKey[] = "Software\\KorvalinBench";
constexpr char kValue[] = "Folder";
constexpr int kFolders = 3;
constexpr int kFilesPerFolder = 10;

class QuietHost final : public OperationHost {
 public:
  std::string next;
  int told = 0;
  std::string chooseNewDirectory(const std::string&) override { return next; }
  bool ask(Question, const std::string&) override { return true; }
  void tell(const std::string& instruction, const std::string& content, NoticeIcon) override {
    ++told;
    std::fprintf(stderr, "move: %s: %s\n", instruction.c_str(), content.c_str());
  }
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress&) override { return copy(); }
};

bool WriteSmallFile(const std::string& path, int seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::vector<char> bytes(4096, static_cast<char>('a' + seed % 26));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool MakeSmallTree(const std::string& folder) {
  for (int f = 0; f < kFolders; ++f) {
    const std::string directory = folder + "\\sub" + std::to_string(f);
    if (!CreateDirectoryA(directory.c_str(), nullptr)) return false;
    for (int i = 0; i < kFilesPerFolder; ++i)
      if (!WriteSmallFile(directory + "\\file" + std::to_string(i) + ".txt", f * kFilesPerFolder + i)) return false;
  }
  return true;
}

// Files below the folder, or -1 when it cannot be listed.
int CountFiles(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return -1;
  int files = 0;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) files += CountFiles(folder + "\\" + name);
    else ++files;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return files;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName, path = folder + "\\" + name;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string ScratchRoot() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "KorvalinBenchMove";
}

}  // namespace

MoveScratch::MoveScratch() : root_(ScratchRoot()), first_(root_ + "\\first"), second_(root_ + "\\second") {
  RemoveTree(root_);
  ready_ = CreateDirectoryA(root_.c_str(), nullptr) && CreateDirectoryA(first_.c_str(), nullptr) &&
           CreateDirectoryA(second_.c_str(), nullptr) && MakeSmallTree(first_) &&
           RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, first_.c_str(),
                           static_cast<DWORD>(first_.size() + 1)) == ERROR_SUCCESS;
  rule_.title = "KorvalinBench";
  rule_.name = kValue;
  rule_.root = 3;
  rule_.path = kKey;
  rule_.moveFiles = true;
  rule_.currentDir = first_;
}

MoveScratch::~MoveScratch() {
  RemoveTree(root_);
  HKEY software = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyParent, 0, KEY_ALL_ACCESS, &software) == ERROR_SUCCESS) {
    RegDeleteTreeA(software, "KorvalinBench");
    RegCloseKey(software);
  }
}

bool MoveScratch::moveOnce() {
  QuietHost host;
  host.next = rule_.currentDir == first_ ? second_ : first_;
  const OperationResult result = ChangeFolder(rule_, RuleSet(), host);
  if (result.outcome != Outcome::kDone || !result.switched || host.told) return false;
  const std::string old = rule_.currentDir;
  rule_.currentDir = result.newDirectory;
  return CountFiles(rule_.currentDir) == kFolders * kFilesPerFolder && CountFiles(old) == 0;
}

}  // namespace korvalin::bench
