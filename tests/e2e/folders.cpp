#include "tests/e2e/folders.h"

#include <windows.h>

#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {

Folders::Folders(const std::string& name) : root("C:\\kv-" + name) {
  DeleteTree(root);
  CreateDirectoryA(root.c_str(), nullptr);
}

std::string Folders::Make(const std::string& name) const {
  std::string path = root + "\\" + name;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void PutUserFiles(const std::string& directory) {
  WriteFileBytes(directory + "\\a.txt", "alpha");
  CreateDirectoryA((directory + "\\sub").c_str(), nullptr);
  WriteFileBytes(directory + "\\sub\\b.txt", "beta");
}

bool MakeUserDesktop(const std::string& directory) {
  PutUserFiles(directory);
  return RegAdd(kShellFolders, "Desktop", "REG_SZ", directory);
}

bool HoldsUserFiles(const std::string& directory) {
  return ReadFileBytes(directory + "\\a.txt") == "alpha" && ReadFileBytes(directory + "\\sub\\b.txt") == "beta";
}

}  // namespace korvalin::e2e
