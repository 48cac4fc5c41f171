#include "tests/support/dialogs.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace korvalin::test {

const wchar_t kProgressWindowTitle[] = L"正在迁移文件";

namespace {

struct Search {
  DWORD processId;
  const std::vector<HWND>* skip;
  bool progress;  // the copy's progress window, rather than any other
  HWND found;
};

// A dialog still being made has no title yet: every dialog of Korvalin's
// has one, so such a window is looked at again later.
std::wstring TitleOf(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return title;
}

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  bool skipped = std::find(search->skip->begin(), search->skip->end(), window) != search->skip->end();
  if (owner != search->processId || lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window) || skipped)
    return TRUE;
  const std::wstring title = TitleOf(window);
  if (!title.empty() && (title == kProgressWindowTitle) == search->progress) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto* dialog = reinterpret_cast<Dialog*>(context);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"SysTreeView32") == 0) dialog->browser = true;
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[2048] = {};
  GetWindowTextW(child, text, 2048);
  if (text[0]) dialog->texts.push_back(text);
  return TRUE;
}

// A block of memory in the other process, freed with the object.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, size_t size)
      : process_(process), at_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteBlock() {
    if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  char* at() const { return static_cast<char*>(at_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, at() + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, at() + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* at_;
};

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::string ItemText(HANDLE process, HWND tree, HTREEITEM item) {
  RemoteBlock block(process, sizeof(TVITEMA) + MAX_PATH);
  TVITEMA info = {};
  info.mask = TVIF_TEXT;
  info.hItem = item;
  info.pszText = block.at() + sizeof(TVITEMA);
  info.cchTextMax = MAX_PATH;
  char text[MAX_PATH] = {};
  if (!item || !block.Write(0, &info, sizeof info) || !block.Write(sizeof info, text, sizeof text)) return "";
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at()))) return "";
  block.Read(sizeof info, text, sizeof text - 1);
  return text;
}

// Selects the child of the selected item that bears the name.
bool SelectChild(HANDLE process, HWND tree, const std::string& name) {
  HTREEITEM parent = Next(tree, TVGN_CARET, nullptr);
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  for (HTREEITEM child = Next(tree, TVGN_CHILD, parent); child; child = Next(tree, TVGN_NEXT, child)) {
    if (lstrcmpiA(ItemText(process, tree, child).c_str(), name.c_str()) == 0) {
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
      return Next(tree, TVGN_CARET, nullptr) == child;
    }
  }
  return false;
}

}  // namespace

// Wine's browser does not reach every path from BFFM_SETSELECTIONA (not a
// folder that holds folders of its own, as measured), so the rest is walked
// in the tree from the drive down. A drive shows its label, so a root
// counts as selected.
bool SelectPath(HANDLE process, HWND dialog, const std::string& path) {
  HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
  RemoteBlock text(process, path.size() + 1);
  if (!tree || !text.Write(0, path.c_str(), path.size() + 1)) return false;
  SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(text.at()));
  if (path.size() <= 3) return true;
  std::string last = path.substr(path.rfind('\\') + 1);
  if (lstrcmpiA(ItemText(process, tree, Next(tree, TVGN_CARET, nullptr)).c_str(), last.c_str()) == 0) return true;
  char drive[4] = {path[0], ':', '\\', 0};
  text.Write(0, drive, sizeof drive);
  SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(text.at()));
  for (size_t at = 3; at < path.size();) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (!SelectChild(process, tree, path.substr(at, end - at))) return false;
    at = end + 1;
  }
  return true;
}

bool Dialog::Shows(const std::wstring& text) const {
  for (const std::wstring& t : texts)
    if (t == text) return true;
  return false;
}

std::wstring Dialog::AllTexts() const {
  std::wstring all = L"[" + title + L"]";
  for (const std::wstring& t : texts) all += L" | " + t;
  return all;
}

Dialog WaitForDialog(DWORD processId, DWORD timeoutMs, const std::vector<HWND>& skip) {
  Dialog dialog;
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(30)) {
    Search search = {processId, &skip, false, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) continue;
    Sleep(150);  // its controls come up just after the window
    dialog.window = search.found;
    wchar_t title[512] = {};
    GetWindowTextW(dialog.window, title, 512);
    dialog.title = title;
    dialog.owner = GetWindow(dialog.window, GW_OWNER);
    EnumChildWindows(dialog.window, CollectChild, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
  }
  return dialog;
}

HWND WaitForProgressWindow(DWORD processId, DWORD timeoutMs) {
  const std::vector<HWND> none;
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20)) {
    Search search = {processId, &none, true, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return nullptr;
}

void Answer(const Dialog& dialog, WPARAM button) {
  PostMessageA(dialog.window, WM_COMMAND, button, 0);
  // Wine destroys a finished dialog late; hidden is enough to go on.
  for (int i = 0; i < 400 && IsWindow(dialog.window) && IsWindowVisible(dialog.window); ++i) Sleep(25);
}

bool BrowseTo(HANDLE process, const Dialog& browser, const std::string& path) {
  bool selected = SelectPath(process, browser.window, path);
  Answer(browser, selected ? IDOK : IDCANCEL);
  return selected;
}

}  // namespace korvalin::test
