// Registry values and files of the tests' own: scratch keys and directories
// that in-process tests make, read and remove.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvalin::test {

// Registry of the tests' own, read and written in the 64-bit view.
struct RegistryValue {
  bool found = false;
  DWORD type = 0;
  std::string text;
};
RegistryValue ReadValue(HKEY root, const std::string& keyPath, const std::string& name);
void WriteValue(HKEY root, const std::string& keyPath, const std::string& name, const std::string& text,
                DWORD type = REG_SZ);
void DeleteKeyTree(HKEY root, const std::string& keyPath);
std::string UniqueName(const std::string& hint);

// Files.
void WriteFile(const std::string& path, const std::string& content);
// Empty when the file is missing.
std::string ReadFile(const std::string& path, bool* exists = nullptr);
bool DirectoryExists(const std::string& path);
bool DirectoryIsEmpty(const std::string& path);
// Entries of a directory other than "." and "..", as narrow names.
std::vector<std::string> Entries(const std::string& directory);

}  // namespace korvalin::test
