#include <windows.h>

#include "runtime/kernel/kernel.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/message_loop.h"

namespace rt {
namespace {

MessageSource messageSource = GetMessageA;

// Runs the idle handlers newest first, dropping those whose window is gone.
void RunIdleHandlers() {
  auto& handlers = kernel::Get().idleHandlers;
  for (size_t i = handlers.size(); i-- > 0;) {
    if (i >= handlers.size()) continue;
    if (!IsWindow(handlers[i].window)) {
      handlers.erase(handlers.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    kernel::IdleHandler h = handlers[i];
    h.routine(h.argument);
  }
}

// The framework's own idle work: nothing is kept between passes here.
bool FrameworkIdle(long count) { return count < 1; }

// Mouse moves that do not move and the caret timer do not restart idle work.
bool RestartsIdle(const MSG& msg, POINT& lastMouse, UINT& lastMouseMessage) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    if (msg.message == lastMouseMessage && msg.pt.x == lastMouse.x && msg.pt.y == lastMouse.y) return false;
    lastMouse = msg.pt;
    lastMouseMessage = msg.message;
    return true;
  }
  return msg.message != WM_PAINT && msg.message != 0x0118;
}

}  // namespace

MessageSource SetMessageSource(MessageSource source) {
  MessageSource previous = messageSource;
  messageSource = source ? source : GetMessageA;
  return previous;
}

void RunMessageLoop() {
  kernel::State& s = kernel::Get();
  s.loopEntered = true;
  if (!kernel::AnyLoadedWindowExists()) return;
  bool idle = true;
  long idleCount = 0;
  POINT lastMouse = {-1, -1};
  UINT lastMouseMessage = 0;
  MSG msg;
  for (;;) {
    while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RunIdleHandlers();
      if (!FrameworkIdle(idleCount++)) idle = false;
    }
    do {
      BOOL got = messageSource(&msg, nullptr, 0, 0);
      if (got == 0) {
        s.quitCode = static_cast<int>(msg.wParam);
        return;
      }
      if (got == -1) {
        // A failed call took no message, least of all WM_QUIT: whatever msg
        // holds is stale. Try again after a breath rather than spin.
        Sleep(10);
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (RestartsIdle(msg, lastMouse, lastMouseMessage)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace rt
