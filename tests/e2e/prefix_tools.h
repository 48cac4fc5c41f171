// The suite's prefix seen through its own tools: reg.exe for the registry,
// the file system under drive C:, the process list, the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {

// Texts: the UTF-8 the command line writes, and a code-page text widened
// as the dialogs show it.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

// "/a/b" as Wine's Z: drive sees it.
std::string WindowsPath(const std::string& unixPath);

using test::RunCaptured;

// reg.exe of the prefix, in the 64-bit view.
struct RegValue {
  bool found = false;
  std::string type;  // "REG_SZ", "REG_EXPAND_SZ", ...
  std::string data;
};
RegValue RegQuery(const std::string& key, const std::string& name);
bool RegAdd(const std::string& key, const std::string& name, const std::string& type, const std::string& data);
bool RegDeleteKey(const std::string& key);

extern const char kShellFolders[];  // HKCU\...\User Shell Folders

// Files.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);
bool IsDirectory(const std::string& path);
using test::Entries;
void DeleteTree(const std::string& path);

std::vector<DWORD> ExplorerProcesses();

// Pixels of the screen as it shows now, 0x00RRGGBB each.
struct Capture {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureScreen(const RECT& area);

}  // namespace korvalin::e2e
