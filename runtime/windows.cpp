#include "runtime/windows.h"

#include <map>

#include "runtime/kernel.h"
#include "runtime/runtime_error.h"
#include "runtime/value_helpers.h"

namespace rt {
namespace {

constexpr char kDefaultWindowClass[] = "WTWindow";
// Posted when the first activation came while the window was still being made.
constexpr UINT kDeferredActivation = WM_APP + 0x3E8;

struct LoadedWindow {
  WindowTemplate data;
  HWND hwnd = nullptr;
  bool creating = false;
  bool activatedOnce = false;
  bool activationPending = false;
};

std::vector<LoadedWindow>& Collection() {
  static std::vector<LoadedWindow> windows;
  return windows;
}

LoadedWindow* FindWindowRecord(uint32_t id) {
  for (LoadedWindow& w : Collection())
    if (w.data.id == id) return &w;
  return nullptr;
}

LoadedWindow* FindByHandle(HWND hwnd) {
  for (LoadedWindow& w : Collection())
    if (w.hwnd == hwnd) return &w;
  return nullptr;
}

UnitTemplate* FindUnit(LoadedWindow& w, uint32_t unitId) {
  if (w.data.units.empty()) return nullptr;
  if (unitId == 0) return &w.data.units.front();
  for (UnitTemplate& u : w.data.units)
    if (u.id == unitId) return &u;
  return nullptr;
}

// Delivers one event of a window's own unit; nothing while suppressed.
void RaiseEvent(uint32_t windowId, int32_t event) {
  if (kernel::Get().eventSuppression > 0) return;
  LoadedWindow* w = FindWindowRecord(windowId);
  if (!w) ReportRuntimeError("未找到引发事件的窗口", 0);
  UnitTemplate* unit = FindUnit(*w, 0);
  if (!unit) ReportRuntimeError("未找到引发事件的窗口组件", 0);
  if (unit->type != kUnitTypeWindow) ReportRuntimeError("引发事件的窗口组件无效", 0);
  for (const EventBinding& b : unit->events) {
    if (b.event != event) continue;
    if (b.handler != -1 && b.handler != 0) reinterpret_cast<void (*)()>(b.handler)();
    return;
  }
}

void RaiseFirstActivation(LoadedWindow& w) {
  uint32_t id = w.data.id;
  w.activatedOnce = true;
  RaiseEvent(id, kEventFirstActivated);
  if (FindWindowRecord(id) && WindowHandleOf(id)) RaiseEvent(id, kEventActivated);
}

COLORREF BackgroundColor(const WindowClassBlock& c) {
  return c.backColor == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : c.backColor;
}

void WindowDestroyed(HWND hwnd) {
  LoadedWindow* w = FindByHandle(hwnd);
  if (!w) return;
  w->hwnd = nullptr;
  w->activatedOnce = false;
  if (kernel::Get().loopEntered && !kernel::AnyLoadedWindowExists()) PostQuitMessage(0);
}

LRESULT CALLBACK KernelWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LoadedWindow* w = FindByHandle(hwnd);
  switch (message) {
    case WM_ERASEBKGND:
      if (w) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(BackgroundColor(w->data.units.front().windowClass));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        DeleteObject(brush);
        return 1;
      }
      break;
    case WM_ACTIVATE:
      if (!w) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        RaiseEvent(w->data.id, kEventDeactivated);
      } else if (w->activatedOnce) {
        RaiseEvent(w->data.id, kEventActivated);
      } else if (w->creating) {
        // Events of a window being made are held back; its creation event
        // comes first, so the first activation follows from the message loop.
        if (!w->activationPending) PostMessageA(hwnd, kDeferredActivation, 0, 0);
        w->activationPending = true;
      } else {
        RaiseFirstActivation(*w);
      }
      break;
    case kDeferredActivation:
      if (w && !w->activatedOnce) {
        w->activationPending = false;
        RaiseFirstActivation(*w);
      }
      return 0;
    case WM_NCDESTROY:
      WindowDestroyed(hwnd);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterWindowClass(const char* name) {
  WNDCLASSA existing;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &existing)) return;
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = KernelWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

struct WindowStyles {
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = 0;
};

WindowStyles StylesFor(const UnitTemplate& unit) {
  const WindowClassBlock& c = unit.windowClass;
  WindowStyles s;
  if (c.borderStyle != 0) {
    s.style |= WS_DLGFRAME;
    if (!c.title.empty() || c.controlBox) s.style |= WS_CAPTION;
    if (c.controlBox) s.style |= WS_SYSMENU;
  }
  switch (c.borderStyle) {
    case 1: s.style |= WS_THICKFRAME; break;
    case 3: s.style |= WS_THICKFRAME; s.exStyle |= WS_EX_TOOLWINDOW; break;
    case 4: s.exStyle |= WS_EX_TOOLWINDOW; break;
    case 5: s.style |= WS_THICKFRAME; s.exStyle |= WS_EX_CLIENTEDGE; break;
    case 6: s.exStyle |= WS_EX_CLIENTEDGE; break;
    default: break;
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

bool CreateFromTemplate(LoadedWindow& w) {
  UnitTemplate& unit = w.data.units.front();
  const WindowClassBlock& c = unit.windowClass;
  if (c.version > 6) return false;
  const char* className = c.className.empty() ? kDefaultWindowClass : c.className.c_str();
  RegisterWindowClass(className);
  WindowStyles s = StylesFor(unit);
  POINT at = StartPosition(unit);
  w.creating = true;
  HWND hwnd = CreateWindowExA(s.exStyle, className, c.title.c_str(), s.style, at.x, at.y, unit.width, unit.height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    w.creating = false;
    return false;
  }
  w.hwnd = hwnd;
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (rc.right - rc.left != unit.width || rc.bottom - rc.top != unit.height)
    MoveWindow(hwnd, at.x, at.y, unit.width, unit.height, FALSE);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (c.alwaysOnTop) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!c.movable) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  if (unit.flags & kUnitDisabled) EnableWindow(hwnd, FALSE);
  if (unit.flags & kUnitVisible) ShowWindow(hwnd, SW_SHOW);
  w.creating = false;
  return true;
}

}  // namespace

namespace kernel {

void ReadTemplateCollection(const void* block, uint32_t /*size*/) {
  // The block is the program's template collection; handler offsets become
  // absolute addresses from the code base.
  const auto* source = static_cast<const TemplateCollection*>(block);
  const auto base = reinterpret_cast<intptr_t>(Get().header->codeBase);
  for (const WindowTemplate& t : source->windows) {
    LoadedWindow w;
    w.data = t;
    for (UnitTemplate& u : w.data.units)
      for (EventBinding& b : u.events)
        if (b.handler != -1) b.handler += base;
    Collection().push_back(std::move(w));
  }
}

bool AnyLoadedWindowExists() {
  for (const LoadedWindow& w : Collection())
    if (w.hwnd && IsWindow(w.hwnd)) return true;
  return false;
}

void DestroyAllLoadedWindows() {
  for (LoadedWindow& w : Collection())
    if (w.hwnd && IsWindow(w.hwnd)) DestroyWindow(w.hwnd);
}

}  // namespace kernel

HWND WindowHandleOf(uint32_t windowId) {
  LoadedWindow* w = FindWindowRecord(windowId);
  return w && w->hwnd && IsWindow(w->hwnd) ? w->hwnd : nullptr;
}

HWND ResolveUnit(uint32_t windowId, uint32_t unitId) {
  LoadedWindow* w = FindWindowRecord(windowId);
  if (!w || !FindUnit(*w, unitId)) return nullptr;
  return WindowHandleOf(windowId);
}

void LoadStartupWindow(uint32_t windowId) {
  LoadedWindow* w = FindWindowRecord(windowId);
  if (!w || w->data.units.empty()) ReportRuntimeError("载入启动窗口失败", 0);
  if (HWND existing = WindowHandleOf(windowId)) {
    if (IsIconic(existing)) ShowWindow(existing, SW_RESTORE);
    else SetActiveWindow(existing);
    return;
  }
  InterlockedIncrement(&kernel::Get().eventSuppression);
  bool created = CreateFromTemplate(*w);
  InterlockedDecrement(&kernel::Get().eventSuppression);
  if (!created) ReportRuntimeError("载入启动窗口失败", 0);
  for (int32_t event : {0, 3, 4}) {
    if (!WindowHandleOf(windowId)) break;
    RaiseEvent(windowId, event);
  }
}

namespace {

struct UnitAccess {
  LoadedWindow* window;
  UnitTemplate* unit;
};

UnitAccess AccessUnit(uint32_t windowId, uint32_t unitId) {
  LoadedWindow* w = FindWindowRecord(windowId);
  UnitTemplate* u = w ? FindUnit(*w, unitId) : nullptr;
  if (!u) ReportRuntimeError("未载入欲访问窗口组件所在的窗口", 0);
  return {w, u};
}

PropertyWords Word(int32_t v) { return {static_cast<uint32_t>(v), 0}; }

PropertyWords PointerWords(const void* p) {
  uint64_t bits = reinterpret_cast<uintptr_t>(p);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}

const char* PointerFromWords(uint32_t low, uint32_t high) {
  uint64_t bits = low | (static_cast<uint64_t>(high) << 32);
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(bits));
}

RECT LiveRect(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (HWND parent = GetParent(hwnd); parent && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  }
  return rc;
}

Text WindowTitle(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string title(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(hwnd, title.data(), length + 1);
  title.resize(static_cast<size_t>(lstrlenA(title.c_str())));
  return CopyText(title);
}

}  // namespace

PropertyWords ReadUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t /*element*/) {
  UnitAccess a = AccessUnit(window, unit);
  HWND hwnd = a.window->hwnd && IsWindow(a.window->hwnd) ? a.window->hwnd : nullptr;
  if (property <= 3 && hwnd) {
    RECT rc = LiveRect(hwnd);
    int32_t values[4] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    return Word(values[property < 0 ? 0 : property]);
  }
  switch (property) {
    case 0: return Word(a.unit->left);
    case 1: return Word(a.unit->top);
    case 2: return Word(a.unit->width);
    case 3: return Word(a.unit->height);
    case 4: return PointerWords(CopyText(a.unit->tag));
    case 5: return Word(hwnd ? (IsWindowVisible(hwnd) ? 1 : 0) : (a.unit->flags & kUnitVisible ? 1 : 0));
    case 6: return Word(hwnd ? (IsWindowEnabled(hwnd) ? 0 : 1) : (a.unit->flags & kUnitDisabled ? 1 : 0));
    case 7:
      return PointerWords(NewByteSet(a.unit->mousePointer.data(), static_cast<int32_t>(a.unit->mousePointer.size())));
    default: break;
  }
  if (!hwnd) ReportRuntimeError("指定窗口尚未载入", 0);
  if (property == 8) return PointerWords(WindowTitle(hwnd));
  if (property == 8 + 10) return Word(IsIconic(hwnd) ? 2 : IsZoomed(hwnd) ? 3 : 0);
  return Word(0);
}

void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t /*element*/, uint32_t low,
                       uint32_t high) {
  UnitAccess a = AccessUnit(window, unit);
  HWND hwnd = a.window->hwnd && IsWindow(a.window->hwnd) ? a.window->hwnd : nullptr;
  const int32_t value = static_cast<int32_t>(low);
  if (property <= 3) {
    if (!hwnd) {
      int32_t* fields[4] = {&a.unit->left, &a.unit->top, &a.unit->width, &a.unit->height};
      *fields[property < 0 ? 0 : property] = value;
      return;
    }
    RECT rc = LiveRect(hwnd);
    int32_t v[4] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    v[property < 0 ? 0 : property] = value;
    MoveWindow(hwnd, v[0], v[1], v[2], v[3], TRUE);
    return;
  }
  switch (property) {
    case 4: a.unit->tag = PointerFromWords(low, high) ? PointerFromWords(low, high) : ""; return;
    case 5:
      if (hwnd) ShowWindow(hwnd, value ? SW_SHOW : SW_HIDE);
      a.unit->flags = value ? (a.unit->flags | kUnitVisible) : (a.unit->flags & ~kUnitVisible);
      return;
    case 6:
      if (hwnd) EnableWindow(hwnd, value ? FALSE : TRUE);
      a.unit->flags = value ? (a.unit->flags | kUnitDisabled) : (a.unit->flags & ~kUnitDisabled);
      return;
    case 8: {
      const char* title = PointerFromWords(low, high);
      a.unit->windowClass.title = title ? title : "";
      if (hwnd) SetWindowTextA(hwnd, a.unit->windowClass.title.c_str());
      return;
    }
    default: return;
  }
}

}  // namespace rt
