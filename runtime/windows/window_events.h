// Events of loaded windows: delivery to the program's bound routines, the
// suppression counter, and the activation events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace rt {

// Events of a window unit.
enum WindowEvent : int32_t {
  kEventCreated = 0,
  kEventMoved = 3,
  kEventResized = 4,
  kEventActivated = 5,
  kEventDeactivated = 6,
  kEventFirstActivated = 8,
};

constexpr size_t kMaxEventArguments = 4;

struct EventSource {
  uint32_t window = 0;
  uint32_t unit = 0;
};

// Calls the routine bound to the event of the unit (0: the window's own
// unit) with the arguments; true when one ran. Nothing while events are
// suppressed. A window or unit that is not loaded, or a unit that takes no
// events, is a runtime error. With `result`, the routine's integer result is
// kept there.
bool RaiseEvent(uint32_t windowId, uint32_t unitId, int32_t event, std::span<const int32_t> arguments = {},
                int32_t* result = nullptr);

// The window and unit whose event routine is running; zeros outside one.
EventSource CurrentEventSource();

bool EventsSuppressed();

namespace kernel {

// Posted to the kernel's hidden window with the window identifier once a
// window is made, when its first activation came while it was being made. It
// never goes to the window itself, so window procedures the program puts on
// top of the kernel's see no message of the kernel's own.
constexpr UINT kDeferredActivationMessage = WM_APP + 0x3E8;

// From the kernel's window procedure on WM_ACTIVATE.
void WindowActivation(HWND hwnd, bool active);
// From LoadStartupWindow once events 0, 3 and 4 have run.
void WindowCreationEnded(uint32_t windowId);
// From the hidden window on kDeferredActivationMessage.
void DeliverDeferredActivation(uint32_t windowId);

}  // namespace kernel
}  // namespace rt
