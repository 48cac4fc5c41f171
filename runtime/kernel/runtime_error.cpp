#include "runtime/kernel/runtime_error.h"

#include <windows.h>

#include <string>

#include "runtime/kernel/kernel.h"

namespace rt {
namespace {

constexpr char kCaption[] = "错误";

// Reports this thread has begun; only the first one shows a box.
thread_local int reportDepth = 0;

BOOL CALLBACK FindErrorBox(HWND window, LPARAM found) {
  char className[16] = {};
  char title[16] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(className) != "#32770" || std::string(title) != kCaption) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The box is modal to the thread, so its loop still dispatches to the
// program's windows; a window procedure that fails again on every repaint
// would open box after box until the stack ran out. A second report keeps
// the first box answering, lets nothing else run, and ends when it is gone.
void WaitForFirstBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindErrorBox, reinterpret_cast<LPARAM>(&box));
  MSG msg;
  while (box && IsWindow(box) && IsWindowVisible(box) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == box || IsChild(box, msg.hwnd)) {
      if (!IsDialogMessageA(box, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    } else if (msg.message == WM_PAINT) {
      ValidateRect(msg.hwnd, nullptr);
    }
  }
}

}  // namespace

const char* RuntimeErrorMessage(int code) {
  static const char* const kMessages[] = {
      "数组成员引用下标超出定义范围",
      "未得到所需要的数值型数据",
      "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
      "数组成员引用下标必须大于等于1",
      "数据或数组类型不匹配",
      "调用DLL命令后发现堆栈错误",
      "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
      "被比较数据只能使用等于或不等于命令比较",
      "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
      "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
      "所提供参数的数据类型不符合要求",
  };
  if (code < 1 || code > 11) return "";
  return kMessages[code - 1];
}

void ReportRuntimeError(const char* message, int code) {
  kernel::RaiseEventSuppression();
  if (reportDepth++ == 0) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
    if (message && *message) {
      text += "错误信息：";
      text += message;
      text += "\r\n";
    }
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONERROR | MB_OK);
  } else if (reportDepth == 2) {
    WaitForFirstBox();
  }
  kernel::Get().exitRoutine = nullptr;
  EndProgram(-1);
}

void RaiseRuntimeError(int code) { ReportRuntimeError(RuntimeErrorMessage(code), code); }

}  // namespace rt
