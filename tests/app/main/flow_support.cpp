#include "tests/app/main/flow_support.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/main/globals.h"
#include "app/main/main_window.h"
#include "encoding/code_page.h"
#include "runtime/interface/program_calls.h"

namespace korvalin::test {
namespace {

HWND mainWindow = nullptr;

void PumpMessages(DWORD milliseconds) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

}  // namespace

std::wstring Describe(const std::vector<SeenDialog>& seen) {
  std::wstring all;
  for (const SeenDialog& dialog : seen) all += (dialog.browser ? L"{browser} " : L"") + dialog.AllTexts() + L"\n";
  return all;
}

ScriptStep BrowseTo(const std::string& path) { return {ScriptStep::kBrowseTo, path, 0}; }
ScriptStep BrowseCancel() { return {ScriptStep::kBrowseCancel, "", 0}; }
ScriptStep Press(WPARAM command) { return {ScriptStep::kPress, "", command}; }

DialogDriver::DialogDriver(std::vector<ScriptStep> script) : script_(std::move(script)), thread_([this] { Run(); }) {}

DialogDriver::~DialogDriver() { Finish(); }

const std::vector<SeenDialog>& DialogDriver::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return seen_;
}

WPARAM DialogDriver::Respond(SeenDialog& seen, const ScriptStep& step) {
  if (step.kind == ScriptStep::kBrowseTo) {
    // A selection that did not take is cancelled rather than confirmed.
    seen.scriptedPath = step.path;
    seen.selected = SelectPath(GetCurrentProcess(), seen.window, step.path);
    return seen.selected ? IDOK : IDCANCEL;
  }
  // Past the script: close what has a Close button, cancel the rest.
  if (step.kind == ScriptStep::kBrowseCancel || step.command == 0)
    return !seen.browser && GetDlgItem(seen.window, IDCLOSE) ? IDCLOSE : IDCANCEL;
  return step.command;
}

void DialogDriver::Run() {
  size_t next = 0;
  std::vector<HWND> answered;
  while (!stop_) {
    SeenDialog seen{WaitForDialog(GetCurrentProcessId(), 30, answered)};
    if (!seen.window) continue;
    ScriptStep step = next < script_.size() ? script_[next++] : ScriptStep{ScriptStep::kPress, "", 0};
    PostMessageA(seen.window, WM_COMMAND, Respond(seen, step), 0);
    PostMessageA(seen.window, WM_NULL, 0, 0);
    HWND dialog = seen.window;
    seen_.push_back(std::move(seen));
    // Wine destroys a finished dialog late; hidden is enough to go on.
    answered.push_back(dialog);
    for (int i = 0; i < 200 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(25);
    // An answer that did not end it: the next round closes or cancels it.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) answered.pop_back();
  }
}

void EnsureMainWindow() {
  if (mainWindow && IsWindow(mainWindow)) return;
  if (!processHeap) processHeap = GetProcessHeap();
  // A fresh list, so its titles and records start together.
  if (folderList) {
    folderList->destroy();
    delete folderList;
  }
  folderList = new FolderList(&folderList);
  rt::program::LoadStartupWindow(kMainWindowId);
  mainWindow = MainWindowHandle();
  // Its first activation (rules, mode question) runs from the queue; the
  // built-in rules (no rules.json beside the tests) give four rows.
  PumpMessages(300);
  for (int i = 0; i < 200 && folderList->getRowCount() < 4; ++i) PumpMessages(50);
}

HWND TestMainWindow() { return mainWindow; }

void CloseMainWindow() {
  if (mainWindow && IsWindow(mainWindow)) DestroyWindow(mainWindow);
  mainWindow = nullptr;
  PumpMessages(50);
}

int32_t AddRow(const char* title, const std::string& name, int32_t root, const std::string& keyPath, bool moveFiles,
               const std::string& currentDir) {
  int32_t row = folderList->addRowTitle(title);
  FolderRow record;
  record.name = const_cast<char*>(name.c_str());
  record.root = root;
  record.path = const_cast<char*>(keyPath.c_str());
  record.moveFiles = moveFiles ? 1 : 0;
  record.currentDir = const_cast<char*>(currentDir.c_str());
  folderList->addRowRecord(record);  // stores a deep copy
  return row;
}

std::string RowCurrentDir(int32_t row) {
  FolderRow record = folderList->getRowRecord(row);
  std::string dir = record.currentDir ? record.currentDir : "";
  ReleaseRow(record);
  return dir;
}

namespace {

std::string UnixName(const std::string& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!toUnix) return std::string();
  char* unix = toUnix(Wide(path).c_str());
  if (!unix) return std::string();
  std::string name = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return name;
}

}  // namespace

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  using Spawn = LONG(CDECL*)(char* const*, int);
  auto spawn = reinterpret_cast<Spawn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "__wine_unix_spawnvp")));
  std::string unixTarget = UnixName(target);
  std::string unixLink = UnixName(link);
  if (!spawn || unixTarget.empty() || unixLink.empty()) return false;
  std::string program = "/bin/ln", option = "-s";
  char* argv[] = {program.data(), option.data(), unixTarget.data(), unixLink.data(), nullptr};
  if (spawn(argv, 1) != 0) return false;
  DWORD attributes = GetFileAttributesA(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::vector<DWORD> ExplorerProcesses() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

void EndExplorersStartedSince(const std::vector<DWORD>& before) {
  for (DWORD id : ExplorerProcesses()) {
    if (std::find(before.begin(), before.end(), id) != before.end()) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) continue;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
  // Wine's desktop process may have been among them: a new top-level window
  // brings it back, and the next tests start only once it is there.
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 100; ++i) {
    DWORD owner = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &owner);
    HANDLE process = owner ? OpenProcess(SYNCHRONIZE, FALSE, owner) : nullptr;
    bool alive = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process) CloseHandle(process);
    if (alive) break;
    Sleep(50);
  }
  if (probe) DestroyWindow(probe);
  Sleep(500);
}

std::wstring Wide(const std::string& text) {
  int n = MultiByteToWideChar(kProgramCodePage, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

}  // namespace korvalin::test
