#include "tests/e2e/prefix_tools.h"

#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "runtime/values/code_page_characters.h"

namespace korvalin::e2e {

std::string Utf8(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  int length = MultiByteToWideChar(rt::kPlatformCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(rt::kPlatformCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
  return out;
}

const char kShellFolders[] = "HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

RegValue RegQuery(const std::string& key, const std::string& name) {
  std::string out;
  RegValue value;
  if (RunCaptured("reg.exe query \"" + key + "\" /v \"" + name + "\" /reg:64", &out) != 0) return value;
  // "    <name>    <type>    <data>" on a line of its own.
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t at = line.find("    " + name + "    ");
    if (at == std::string::npos) continue;
    std::string rest = line.substr(at + name.size() + 8);
    size_t gap = rest.find("    ");
    value.found = true;
    value.type = rest.substr(0, gap);
    value.data = gap == std::string::npos ? std::string() : rest.substr(gap + 4);
    break;
  }
  return value;
}

bool RegAdd(const std::string& key, const std::string& name, const std::string& type, const std::string& data) {
  return RunCaptured("reg.exe add \"" + key + "\" /v \"" + name + "\" /t " + type + " /d \"" + data + "\" /f /reg:64",
                     nullptr) == 0;
}

bool RegDeleteKey(const std::string& key) {
  return RunCaptured("reg.exe delete \"" + key + "\" /f /reg:64", nullptr) == 0;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists) *exists = static_cast<bool>(in);
  std::ostringstream content;
  if (in) content << in.rdbuf();
  return content.str();
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void DeleteTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    for (const std::string& name : Entries(path)) DeleteTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

std::vector<DWORD> ExplorerProcesses() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) ids.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
}

Capture CaptureScreen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  capture.pixels.assign(static_cast<size_t>(capture.width) * capture.height, 0);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const DWORD*>(bits);
  for (size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = source[i] & 0xFFFFFF;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

}  // namespace korvalin::e2e
