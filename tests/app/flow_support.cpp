#include "tests/app/flow_support.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/main_window.h"
#include "runtime/program_calls.h"

namespace korvalin::test {
namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto* seen = reinterpret_cast<SeenDialog*>(context);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"SysTreeView32") == 0) seen->browser = true;
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[2048] = {};
  GetWindowTextW(child, text, 2048);
  if (text[0]) seen->texts.push_back(text);
  return TRUE;
}

struct DialogSearch {
  DWORD processId;
  const std::vector<HWND>* answered;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  bool answered = std::find(search->answered->begin(), search->answered->end(), window) != search->answered->end();
  if (owner == search->processId && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) && !answered) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(const std::vector<HWND>& answered) {
  DialogSearch search = {GetCurrentProcessId(), &answered, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = {};
  TVITEMA info = {};
  info.mask = TVIF_TEXT;
  info.hItem = item;
  info.pszText = text;
  info.cchTextMax = MAX_PATH;
  if (!item || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return std::string();
  return text;
}

HTREEITEM Caret(HWND tree) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// Selects the child of the selected item that bears the name.
bool SelectChild(HWND tree, const std::string& name) {
  HTREEITEM parent = Caret(tree);
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
  for (; child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
    if (lstrcmpiA(ItemText(tree, child).c_str(), name.c_str()) == 0) {
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
      return Caret(tree) == child;
    }
  }
  return false;
}

// Wine's browser does not find every path from BFFM_SETSELECTIONA (not a
// folder that holds folders of its own, as measured), so the rest of the path
// is walked in the tree. True when the path's last part ends up selected (a
// drive shows its label instead, so a root is taken as selected).
bool SelectPath(HWND dialog, const std::string& path) {
  HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
  if (!tree) return false;
  SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
  if (path.size() <= 3) return true;
  std::string last = path.substr(path.rfind('\\') + 1);
  if (lstrcmpiA(ItemText(tree, Caret(tree)).c_str(), last.c_str()) == 0) return true;
  // Select the drive, then walk down part by part.
  std::string drive = path.substr(0, 3);
  SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(drive.c_str()));
  for (size_t at = 3; at < path.size();) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (!SelectChild(tree, path.substr(at, end - at))) return false;
    at = end + 1;
  }
  return true;
}

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

Answer BrowseTo(const std::string& path) { return {Answer::kBrowseTo, path, 0}; }
Answer BrowseCancel() { return {Answer::kBrowseCancel, "", 0}; }
Answer Press(WPARAM command) { return {Answer::kPress, "", command}; }

bool SeenDialog::Shows(const std::wstring& text) const {
  for (const std::wstring& t : texts)
    if (t == text) return true;
  return false;
}

DialogDriver::DialogDriver(std::vector<Answer> script) : script_(std::move(script)), thread_([this] { Run(); }) {}

DialogDriver::~DialogDriver() { Finish(); }

const std::vector<SeenDialog>& DialogDriver::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return seen_;
}

void DialogDriver::Run() {
  size_t next = 0;
  std::vector<HWND> answered;
  while (!stop_) {
    HWND dialog = FindDialog(answered);
    if (!dialog) {
      Sleep(30);
      continue;
    }
    Sleep(150);  // its controls come up just after the window
    SeenDialog seen;
    wchar_t title[512] = {};
    GetWindowTextW(dialog, title, 512);
    seen.title = title;
    seen.owner = GetWindow(dialog, GW_OWNER);
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&seen));
    Answer answer = next < script_.size() ? script_[next++] : Answer{Answer::kPress, "", 0};
    if (answer.kind == Answer::kBrowseTo) {
      // A selection that did not take is cancelled rather than confirmed.
      seen.scriptedPath = answer.path;
      seen.selected = SelectPath(dialog, answer.path);
      PostMessageA(dialog, WM_COMMAND, seen.selected ? IDOK : IDCANCEL, 0);
    } else if (answer.kind == Answer::kBrowseCancel || answer.command == 0) {
      // Past the script: close what has a Close button, cancel the rest.
      PostMessageA(dialog, WM_COMMAND, !seen.browser && GetDlgItem(dialog, IDCLOSE) ? IDCLOSE : IDCANCEL, 0);
    } else {
      PostMessageA(dialog, WM_COMMAND, answer.command, 0);
    }
    if (getenv("KORVALIN_FLOW_TRACE")) {
      fprintf(stderr, "%lu dialog %p browser=%d texts=%zu:", GetTickCount(), (void*)dialog, seen.browser ? 1 : 0, seen.texts.size());
      for (const std::wstring& t : seen.texts) {
        char buffer[2048] = {};
        WideCharToMultiByte(CP_UTF8, 0, t.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
        fprintf(stderr, " [%s]", buffer);
      }
      fprintf(stderr, "\n");
    }
    PostMessageA(dialog, WM_NULL, 0, 0);
    seen_.push_back(std::move(seen));
    // Wine destroys a finished dialog late; hidden is enough to go on.
    answered.push_back(dialog);
    for (int i = 0; i < 200 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(25);
    // An answer that did not end it: the next round closes or cancels it.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) answered.pop_back();
    if (getenv("KORVALIN_FLOW_TRACE")) fprintf(stderr, "%lu gone %d\n", GetTickCount(), IsWindow(dialog) ? 0 : 1);
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
  // Its first activation (rules, mode question) runs from the queue.
  PumpMessages(300);
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

RegistryValue ReadValue(HKEY root, const std::string& keyPath, const std::string& name) {
  RegistryValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return value;
  char data[4096] = {};
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    value.found = true;
    value.text = data;
  }
  RegCloseKey(key);
  return value;
}

void WriteValue(HKEY root, const std::string& keyPath, const std::string& name, const std::string& text, DWORD type) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void DeleteKeyTree(HKEY root, const std::string& keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeA(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExA(root, keyPath.c_str(), KEY_WOW64_64KEY, 0);
}

std::string UniqueName(const std::string& hint) {
  static int counter = 0;
  return hint + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists) *exists = static_cast<bool>(in);
  if (!in) return std::string();
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool DirectoryExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryIsEmpty(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") empty = false;
  } while (empty && FindNextFileA(search, &found));
  FindClose(search);
  return empty;
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
  int n = MultiByteToWideChar(936, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(936, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

}  // namespace korvalin::test
