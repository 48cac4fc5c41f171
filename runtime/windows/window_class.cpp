#include "runtime/windows/window_class.h"

#include <windows.h>

#include "runtime/windows/gdi_objects.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/window_events.h"

namespace rt::kernel {
namespace {

using SolidBrush = GdiObject<HBRUSH, &::DeleteObject>;

COLORREF BackgroundColor(const WindowClassBlock& c) {
  return c.backColor == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : c.backColor;
}

// The class has the null brush: the background is painted here, in the
// colour the template (or a later property write) gives.
bool EraseBackground(HWND hwnd, HDC dc) {
  LoadedWindow* w = FindLoadedWindow(hwnd);
  LoadedUnit* own = w ? OwnUnit(*w) : nullptr;
  if (!own) return false;
  RECT rc;
  GetClientRect(hwnd, &rc);
  SolidBrush brush(CreateSolidBrush(BackgroundColor(own->data.windowClass)));
  FillRect(dc, &rc, brush.get());
  return true;
}

LRESULT CALLBACK TemplateWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      if (EraseBackground(hwnd, reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_ACTIVATE:
      WindowActivation(hwnd, LOWORD(wParam) != WA_INACTIVE);
      break;
    case WM_NCDESTROY:
      LoadedWindowDestroyed(hwnd);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void RegisterTemplateWindowClass(const char* name) {
  WNDCLASSA existing;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &existing)) return;
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = TemplateWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

}  // namespace rt::kernel
