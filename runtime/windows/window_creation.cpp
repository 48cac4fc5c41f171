// LoadStartupWindow: a window made from its template.
#include <windows.h>

#include "runtime/kernel/kernel.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/windows/window_class.h"
#include "runtime/windows/window_events.h"

namespace rt {
namespace {

constexpr char kLoadFailed[] = "载入启动窗口失败";

struct WindowStyles {
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = 0;
};

// Every template window here is top-level without an owner.
WindowStyles StylesFor(const WindowClassBlock& c) {
  WindowStyles s;
  if (c.borderStyle != 0) {
    s.style |= WS_DLGFRAME;
    if (!c.title.empty() || c.controlBox) s.style |= WS_CAPTION;
    if (c.controlBox) s.style |= WS_SYSMENU;
  }
  switch (c.borderStyle) {
    case 1:
      s.style |= WS_THICKFRAME;
      break;
    case 3:
      s.style |= WS_THICKFRAME;
      s.exStyle |= WS_EX_TOOLWINDOW;
      break;
    case 4:
      s.exStyle |= WS_EX_TOOLWINDOW;
      break;
    case 5:
      s.style |= WS_THICKFRAME;
      s.exStyle |= WS_EX_CLIENTEDGE;
      break;
    case 6:
      s.exStyle |= WS_EX_CLIENTEDGE;
      break;
    default:
      break;
  }
  if (c.maximizeBox) s.style |= WS_MAXIMIZEBOX;
  if (c.minimizeBox) s.style |= WS_MINIMIZEBOX;
  if (c.startPosition == 2) s.style |= WS_MINIMIZE;
  if (c.startPosition == 3 && (s.style & WS_THICKFRAME)) s.style |= WS_MAXIMIZE;
  return s;
}

POINT StartPosition(const UnitTemplate& unit) {
  if (unit.windowClass.startPosition != 1) return {unit.left, unit.top};
  return {(GetSystemMetrics(SM_CXSCREEN) - unit.width) / 2, (GetSystemMetrics(SM_CYSCREEN) - unit.height) / 2};
}

void ApplyTemplateAfterCreation(HWND hwnd, const UnitTemplate& unit, POINT at) {
  const WindowClassBlock& c = unit.windowClass;
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (rc.right - rc.left != unit.width || rc.bottom - rc.top != unit.height)
    MoveWindow(hwnd, at.x, at.y, unit.width, unit.height, FALSE);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (c.alwaysOnTop) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!c.movable) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  if (unit.flags & kUnitDisabled) EnableWindow(hwnd, FALSE);
  if (unit.flags & kUnitVisible) ShowWindow(hwnd, SW_SHOW);
}

// Makes the window of a loaded template; false when the template cannot
// make one. Runs while events are suppressed.
bool CreateFromTemplate(LoadedWindow& w) {
  LoadedUnit* own = OwnUnit(w);
  if (!own || own->data.type != kUnitTypeWindow) return false;
  const UnitTemplate& unit = own->data;
  const WindowClassBlock& c = unit.windowClass;
  if (c.version > kWindowClassVersion) return false;
  const WindowStyles s = StylesFor(c);
  const POINT at = StartPosition(unit);
  const char* className = c.className.empty() ? kernel::kDefaultWindowClass : c.className.c_str();
  kernel::RegisterTemplateWindowClass(className);
  w.creating = true;
  w.activatedOnce = false;
  w.activationPending = false;
  w.lostWhilePending = false;
  HWND hwnd = CreateWindowExA(s.exStyle, className, c.title.c_str(), s.style, at.x, at.y, unit.width, unit.height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    w.creating = false;
    return false;
  }
  w.hwnd = hwnd;
  ApplyTemplateAfterCreation(hwnd, unit, at);
  return true;
}

bool BringForward(uint32_t windowId) {
  HWND existing = WindowHandleOf(windowId);
  if (!existing) return false;
  if (IsIconic(existing))
    ShowWindow(existing, SW_RESTORE);
  else
    SetActiveWindow(existing);
  return true;
}

}  // namespace

void LoadStartupWindow(uint32_t windowId) {
  if (BringForward(windowId)) return;
  kernel::RaiseEventSuppression();
  LoadedWindow* w = FindLoadedWindow(windowId);
  if (!w || !CreateFromTemplate(*w)) ReportRuntimeError(kLoadFailed, 0);
  kernel::LowerEventSuppression();
  for (int32_t event : {kEventCreated, kEventMoved, kEventResized}) {
    if (!WindowHandleOf(windowId)) break;
    RaiseEvent(windowId, 0, event);
  }
  kernel::WindowCreationEnded(windowId);
}

}  // namespace rt
