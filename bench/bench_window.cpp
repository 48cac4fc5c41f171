#include "bench/bench_window.h"

#include <string>

#include "app/main/globals.h"
#include "bench/bench_support.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin::bench {
namespace {

constexpr char kParentClass[] = "KorvalinBenchParent";

void RegisterParentClass() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kParentClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

ListWindow::ListWindow(FolderList** holder) : holder_(holder) {
  RegisterParentClass();
  if (!modeLabel) modeLabel = rt::CopyText("移动");
  RECT frame = {0, 0, kListWidth, kListHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  // A parent of its own each time: the list's thunk stays on its parent.
  parent_ = CreateWindowExA(0, kParentClass, "Korvalin bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  *holder_ = new FolderList(holder_);
  RECT client;
  GetClientRect(parent_, &client);
  list()->create(parent_, 0, 0, client.right, client.bottom, 0, 0, LBS_HASSTRINGS, true);
  list()->setItemHeight(72, true);
  list()->setFont(nullptr, false, 18, true, false, false);
  list()->setBackColor(0xFFFFFF);
  Pump();
}

ListWindow::~ListWindow() {
  DestroyWindow(parent_);
  Pump();
  (*holder_)->destroy();
  delete *holder_;
  *holder_ = nullptr;
}

void ListWindow::addRows(int count) {
  FolderRow header;
  list()->addRowTitle("");
  list()->addRowRecord(header);
  for (int i = 1; i <= count; ++i) {
    std::string title = "文件夹 " + std::to_string(i);
    std::string directory = "C:\\users\\Public\\Folders\\" + std::to_string(i);
    FolderRow row;
    row.name = const_cast<char*>("Desktop");
    row.root = 3;
    row.path = const_cast<char*>("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
    row.moveFiles = i % 2;
    row.currentDir = directory.data();
    list()->addRowTitle(title.c_str());
    list()->addRowRecord(row);  // stores its own copies
  }
}

}  // namespace korvalin::bench
