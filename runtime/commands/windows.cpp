#include <windows.h>

#include "runtime/commands/commands.h"
#include "runtime/commands/support.h"
#include "runtime/commands/library.h"
#include "runtime/kernel/runtime_error.h"

namespace rt::commands {
namespace {

using detail::Arg;

// The kernel raises the runtime error itself for a reference that does not
// resolve; the check after it only matters without a kernel.
HWND LiveWindowOf(const ValueRecord& unit) {
  auto hwnd = reinterpret_cast<HWND>(library::Kernel(library::kResolveUnit, static_cast<intptr_t>(unit.low),
                                                     static_cast<intptr_t>(unit.high)));
  if (!hwnd || !IsWindow(hwnd)) ReportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0);
  return hwnd;
}

RECT ClientRectOf(const ValueRecord& unit) {
  RECT r = {};
  GetClientRect(LiveWindowOf(unit), &r);
  return r;
}

}  // namespace

void GetWindowHandle(ValueRecord* result, int count, const ValueRecord* args) {
  // Window handles keep their meaning in 32 bits on 64-bit Windows too.
  result->setInt(static_cast<int32_t>(reinterpret_cast<intptr_t>(LiveWindowOf(Arg(count, args, 0)))));
}

void ClientWidth(ValueRecord* result, int count, const ValueRecord* args) {
  RECT r = ClientRectOf(Arg(count, args, 0));
  result->setInt(r.right - r.left);
}

void ClientHeight(ValueRecord* result, int count, const ValueRecord* args) {
  RECT r = ClientRectOf(Arg(count, args, 0));
  result->setInt(r.bottom - r.top);
}

void MoveUnit(ValueRecord* /*result*/, int count, const ValueRecord* args) {
  HWND hwnd = LiveWindowOf(Arg(count, args, 0));
  RECT start = {};
  GetWindowRect(hwnd, &start);
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&start), 2);
  RECT r = start;
  ValueRecord left = Arg(count, args, 1), top = Arg(count, args, 2);
  ValueRecord width = Arg(count, args, 3), height = Arg(count, args, 4);
  if (!left.omitted()) {
    int32_t x = detail::IntOf(left);
    r.right = x + (r.right - r.left);
    r.left = x;
  }
  if (!top.omitted()) {
    int32_t y = detail::IntOf(top);
    r.bottom = y + (r.bottom - r.top);
    r.top = y;
  }
  if (!width.omitted() && detail::IntOf(width) != -1) r.right = r.left + detail::IntOf(width);
  if (!height.omitted() && detail::IntOf(height) != -1) r.bottom = r.top + detail::IntOf(height);
  if (EqualRect(&r, &start)) return;
  MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

}  // namespace rt::commands
