// The start-up baseline: an empty GUI program with Korvalin's manifest that
// opens a window of the main window's size and ends on WM_CLOSE. Wine's
// window start-up (the X11 driver, the first window, its first paint) is a
// good part of any program's start, so the driver subtracts this, not the
// bare process start. With /exit it ends at once, without a window.
#include <windows.h>

#include <cstring>

namespace {

constexpr char kClass[] = "KorvalinBenchEmpty";

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
  if (arguments && std::strstr(arguments, "/exit")) return 0;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.lpszClassName = kClass;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, kClass, "Korvalin bench", WS_OVERLAPPEDWINDOW, 50, 50, 591, 373, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
