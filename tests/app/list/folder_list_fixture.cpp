#include "tests/app/list/folder_list_fixture.h"

#include "app/main/globals.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin::test {
namespace {

constexpr char kParentClass[] = "KorvalinFolderListTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ParentMessages().messages.push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterParentClass() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kParentClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClassA(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
}

void RecordAction(int32_t row) { Actions().rows.push_back(row); }

void AddRow(FolderList* list, const char* title, const char* name, int32_t root, int32_t moveFiles,
            const char* currentDir) {
  list->addRowTitle(title);
  FolderRow row;
  row.name = const_cast<char*>(name);
  row.root = root;
  row.path = const_cast<char*>("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
  row.moveFiles = moveFiles;
  row.currentDir = const_cast<char*>(currentDir);
  list->addRowRecord(row);
}

COLORREF FromDib(uint32_t bgrx) { return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF); }

}  // namespace

bool ParentLog::saw(UINT message) const {
  for (UINT m : messages)
    if (m == message) return true;
  return false;
}

ParentLog& ParentMessages() {
  static ParentLog log;
  return log;
}

ActionLog& Actions() {
  static ActionLog log;
  return log;
}

// Wine takes two seconds to destroy a visible top-level window: the tests
// share one parent and put its own procedure back after each test.
HWND FolderListTest::sharedParent_ = nullptr;

void FolderListTest::SetUpTestSuite() {
  RegisterParentClass();
  RECT frame = {0, 0, kListWidth, kListHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  sharedParent_ = CreateWindowExA(0, kParentClass, "folder list test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
}

void FolderListTest::TearDownTestSuite() {
  if (sharedParent_) DestroyWindow(sharedParent_);
  sharedParent_ = nullptr;
}

void FolderListTest::SetUp() {
  parent_ = sharedParent_;
  ASSERT_NE(parent_, nullptr);
  ParentMessages().messages.clear();
  Actions().rows.clear();
  RECT client;
  GetClientRect(parent_, &client);
  list_ = new FolderList(&list_);
  ASSERT_EQ(list_->create(parent_, 0, 0, client.right, client.bottom, 0, 0, LBS_HASSTRINGS, true), 1);
  list_->setItemHeight(kRowHeight, true);
  list_->setFont(nullptr, false, 18, true, false, false);
  list_->setBackColor(0xFFFFFF);
  list_->setRowActionHandler(RecordAction, 0);
  list_->setActionCaption("移动");
  AddRow(list_, "", "", 0, 0, "");
  AddRow(list_, "桌面", "Desktop", 1, 0, "C:\\users\\Public\\Desktop");
  AddRow(list_, "我的文档", "Personal", -1, 1, "目录规则无效,请审查！");
  AddRow(list_, "下载", "{374DE290-123F-4565-9164-39C4925E467B}", 1, 0, "C:\\users\\Public\\Downloads");
  GetClientRect(list(), &client);
  clientWidth_ = client.right;
  Validate();
}

void FolderListTest::TearDown() {
  PumpMouse();
  if (list_ && IsWindow(list())) DestroyWindow(list());
  if (parent_) {
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc));
    for (const char* name : {"_Proc", "_This", "_Method"}) RemovePropA(parent_, name);
  }
  if (list_) {
    list_->destroy();
    delete list_;
    list_ = nullptr;
  }
}

RECT FolderListTest::RowRect(int row) const {
  RECT rect = {};
  SendMessageA(list(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

LPARAM FolderListTest::At(int row, int x, int y) const {
  RECT rect = RowRect(row);
  return MAKELPARAM(rect.left + x, rect.top + y);
}

void FolderListTest::Mouse(UINT message, int row, int x, int y) {
  LPARAM at = At(row, x, y);
  // The pointer itself moves only with a move: moving it queues a move of
  // its own, which after a press or release would be one move too many.
  if (message == WM_MOUSEMOVE) {
    POINT screen = {static_cast<int16_t>(LOWORD(at)), static_cast<int16_t>(HIWORD(at))};
    ClientToScreen(list(), &screen);
    SetCursorPos(screen.x, screen.y);
  }
  WPARAM keys = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
  ASSERT_TRUE(PostMessageA(list(), message, keys, at));
  PumpMouse();
}

LRESULT FolderListTest::Send(UINT message, int row, int x, int y) {
  return SendMessageA(list(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, At(row, x, y));
}

void FolderListTest::Click(int row, int x, int y) {
  Mouse(WM_MOUSEMOVE, row, x, y);
  Mouse(WM_LBUTTONDOWN, row, x, y);
  Mouse(WM_LBUTTONUP, row, x, y);
}

void FolderListTest::PumpMouse() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
         PeekMessageA(&msg, nullptr, WM_MOUSELEAVE, WM_MOUSELEAVE, PM_REMOVE)) {
    DispatchMessageA(&msg);
  }
}

std::set<int> FolderListTest::InvalidRows() const {
  std::set<int> rows;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetUpdateRgn(list(), region, FALSE) != NULLREGION) {
    for (int row = 0; row < 5; ++row) {
      RECT rect = {0, row * kRowHeight, clientWidth_, (row + 1) * kRowHeight};
      if (PtInRegion(region, clientWidth_ / 2, (rect.top + rect.bottom) / 2)) rows.insert(row);
    }
  }
  DeleteObject(region);
  return rows;
}

void FolderListTest::Validate() { ValidateRect(list(), nullptr); }

void FolderListTest::Render() {
  RECT client;
  GetClientRect(list(), &client);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(list());
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(list(), screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  // A colour no row uses: what stays of it was not painted.
  HBRUSH marker = CreateSolidBrush(0x123456);
  FillRect(dc, &client, marker);
  DeleteObject(marker);
  SendMessageA(list(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  auto* words = static_cast<const uint32_t*>(bits);
  pixels_.assign(static_cast<size_t>(client.right) * client.bottom, 0);
  for (size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = FromDib(words[i]);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

COLORREF FolderListTest::Pixel(int x, int y) const {
  return pixels_.at(static_cast<size_t>(y) * clientWidth_ + x);
}

std::vector<COLORREF> FolderListTest::Pixels(int row, RECT area) const {
  std::vector<COLORREF> out;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) out.push_back(RowPixel(row, x, y));
  return out;
}

int FolderListTest::CountColor(int row, RECT area, COLORREF color) const {
  int count = 0;
  for (COLORREF c : Pixels(row, area)) count += c == color;
  return count;
}

int FolderListTest::CountOther(int row, RECT area, COLORREF color) const {
  int count = 0;
  for (COLORREF c : Pixels(row, area)) count += c != color;
  return count;
}

int GdiObjectCount() {
  if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(count);
  // Wine answers 0 here; there a handle value with no high word names its
  // table entry, so the live objects can be counted by probing.
  int count = 0;
  for (uintptr_t value = 1; value <= 0xFFFF; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value))) ++count;
  return count;
}

}  // namespace korvalin::test
