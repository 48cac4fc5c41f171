#include "tests/e2e/korvalin_run.h"

#include <fstream>
#include <sstream>

#include "tests/e2e/prefix_tools.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

constexpr int kRowHeight = 72;

void MovePointer(POINT point) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  // Rounded up so the conversion back to pixels lands on the same pixel.
  input.mi.dx = static_cast<LONG>((point.x * 65536LL + width - 1) / width);
  input.mi.dy = static_cast<LONG>((point.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void Button(DWORD flag) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string ProgramUnderTest() { return WindowsPath(KORVALIN_EXE); }

void ClickAt(POINT point) {
  // Two moves: the second gives the button under the pointer its hover.
  MovePointer({point.x - 2, point.y});
  Sleep(60);
  MovePointer(point);
  Sleep(120);
  Button(MOUSEEVENTF_LEFTDOWN);
  Sleep(80);
  Button(MOUSEEVENTF_LEFTUP);
  Sleep(80);
}

KorvalinRun::KorvalinRun(const std::string& name, const std::string& program, bool keep) : program_(program) {
  CreateDirectoryA("C:\\korvalin-e2e", nullptr);
  directory_ = "C:\\korvalin-e2e\\" + name;
  if (keep) return;
  DeleteTree(directory_);
  CreateDirectoryA(directory_.c_str(), nullptr);
  CopyFileA(program_.c_str(), (directory_ + "\\Korvalin.exe").c_str(), FALSE);
}

KorvalinRun::~KorvalinRun() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 20000);
  }
  CloseHandle(process_);
}

void KorvalinRun::Put(const std::string& fileName, const std::string& bytes) const {
  std::ofstream out(directory_ + "\\" + fileName, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string KorvalinRun::Read(const std::string& fileName, bool* exists) const {
  std::ifstream in(directory_ + "\\" + fileName, std::ios::binary);
  if (exists) *exists = static_cast<bool>(in);
  std::ostringstream content;
  if (in) content << in.rdbuf();
  return content.str();
}

bool KorvalinRun::Start(const std::string& arguments, bool waitForWindow) {
  process_ = test::StartProcess(directory_ + "\\Korvalin.exe", arguments, directory_.c_str(), test::StandardHandles::kNul);
  if (!process_) return false;
  processId_ = GetProcessId(process_);
  if (!waitForWindow) return true;
  window_ = test::WaitForProcessWindow(processId_, "SysPath_Mirt_Main", nullptr, 20000);
  return window_ != nullptr;
}

DWORD KorvalinRun::RunCommand(const std::string& arguments, std::string* output, DWORD timeoutMs) const {
  return RunCaptured("\"" + directory_ + "\\Korvalin.exe\" " + arguments, output, timeoutMs);
}

HWND KorvalinRun::list() const { return window_ ? FindWindowExA(window_, nullptr, "ListBox", nullptr) : nullptr; }

std::wstring KorvalinRun::Caption() const {
  wchar_t text[512] = {};
  GetWindowTextW(window_, text, 512);
  return text;
}

void KorvalinRun::BringForward() const {
  SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Sleep(100);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(400);
}

RECT KorvalinRun::WindowRect() const {
  RECT rect = {};
  GetWindowRect(window_, &rect);
  return rect;
}

bool KorvalinRun::WaitForRows(int rows, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  bool clicked = false;
  while (GetTickCount() - start < timeoutMs) {
    if (!window_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return false;
    if (RowCount() >= rows) return true;
    // A user's first click on the window activates it; a blank spot of the
    // header does nothing else.
    if (!clicked && list() && GetTickCount() - start > 1500) {
      ClickAt(RowPoint(0, 12, 60));
      clicked = true;
    }
    Sleep(50);
  }
  return false;
}

int KorvalinRun::RowCount() const {
  HWND box = list();
  return box ? static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0)) : -1;
}

std::wstring KorvalinRun::RowTitle(int row) const {
  // Across processes Wine hands list-box strings back as UTF-16.
  wchar_t title[1024] = {};
  SendMessageW(list(), LB_GETTEXT, row, reinterpret_cast<LPARAM>(title));
  return title;
}

POINT KorvalinRun::RowPoint(int row, int x, int y) const {
  int top = static_cast<int>(SendMessageA(list(), LB_GETTOPINDEX, 0, 0));
  POINT point = {x, (row - top) * kRowHeight + y};
  ClientToScreen(list(), &point);
  return point;
}

int KorvalinRun::RowWidth() const {
  RECT client = {};
  GetClientRect(list(), &client);
  return client.right;
}

void KorvalinRun::ClickRowButton(int row) const {
  // The action button is (W - 100, 24, W - 26, 50) within the row.
  ClickAt(RowPoint(row, RowWidth() - 63, 37));
}

DWORD KorvalinRun::Close() {
  if (!window_) window_ = test::WaitForProcessWindow(processId_, "SysPath_Mirt_Main", nullptr, 20000);
  PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  return WaitForExit();
}

DWORD KorvalinRun::WaitForExit(DWORD timeoutMs) {
  DWORD code = ~0u;
  if (process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &code);
  return code;
}

}  // namespace korvalin::e2e
