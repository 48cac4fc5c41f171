#include "runtime/windows/window_events.h"

#include "runtime/kernel/kernel.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/kernel/runtime_error.h"

namespace rt {
namespace {

EventSource currentSource;

using Routine0 = int32_t (*)();
using Routine4 = int32_t (*)(int32_t, int32_t, int32_t, int32_t);

// Routines take their arguments as 32-bit values; one taking fewer than four
// ignores the rest, which the caller removes.
int32_t CallRoutine(uintptr_t routine, std::span<const int32_t> arguments) {
  if (arguments.empty()) return reinterpret_cast<Routine0>(routine)();
  int32_t a[kMaxEventArguments] = {};
  for (size_t i = 0; i < arguments.size() && i < kMaxEventArguments; ++i) a[i] = arguments[i];
  return reinterpret_cast<Routine4>(routine)(a[0], a[1], a[2], a[3]);
}

bool TakesEvents(const LoadedUnit& unit) { return unit.data.type == kUnitTypeWindow || IsMenuItemUnit(unit.data.id); }

uintptr_t BoundRoutine(const LoadedUnit& unit, int32_t event) {
  for (const BoundEvent& b : unit.events)
    if (b.event == event) return b.routine;
  return 0;
}

// Event 8 then 5; a window whose deactivation was held back with its first
// activation then hears 6.
void RaiseFirstActivation(uint32_t windowId, bool lostMeanwhile) {
  if (LoadedWindow* w = FindLoadedWindow(windowId)) w->activatedOnce = true;
  RaiseEvent(windowId, 0, kEventFirstActivated);
  if (!WindowHandleOf(windowId)) return;
  RaiseEvent(windowId, 0, kEventActivated);
  if (lostMeanwhile && WindowHandleOf(windowId)) RaiseEvent(windowId, 0, kEventDeactivated);
}

}  // namespace

bool EventsSuppressed() { return kernel::Get().eventSuppression > 0; }

EventSource CurrentEventSource() { return currentSource; }

bool RaiseEvent(uint32_t windowId, uint32_t unitId, int32_t event, std::span<const int32_t> arguments,
                int32_t* result) {
  if (EventsSuppressed()) return false;
  LoadedWindow* w = FindLoadedWindow(windowId);
  if (!w) ReportRuntimeError("未找到引发事件的窗口", 0);
  LoadedUnit* unit = unitId == 0 ? OwnUnit(*w) : FindLoadedUnit(*w, unitId);
  if (!unit) ReportRuntimeError("未找到引发事件的窗口组件", 0);
  if (!TakesEvents(*unit)) ReportRuntimeError("引发事件的窗口组件无效", 0);
  const uintptr_t routine = BoundRoutine(*unit, event);
  if (!routine) return false;
  // A routine may raise another event; the outer source comes back after it.
  const EventSource outer = currentSource;
  currentSource = {windowId, unit->data.id};
  const int32_t value = CallRoutine(routine, arguments);
  currentSource = outer;
  if (result) *result = value;
  return true;
}

namespace kernel {

void WindowActivation(HWND hwnd, bool active) {
  LoadedWindow* w = FindLoadedWindow(hwnd);
  if (!w) return;
  const uint32_t id = w->record.id;
  if (w->activationPending) {
    w->lostWhilePending = !active;  // told when the first activation is
    return;
  }
  if (!active) {
    RaiseEvent(id, 0, kEventDeactivated);
  } else if (w->activatedOnce) {
    RaiseEvent(id, 0, kEventActivated);
  } else if (w->creating) {
    // The creation events come first; the first activation waits for them.
    w->activationPending = true;
    w->lostWhilePending = false;
  } else {
    RaiseFirstActivation(id, false);
  }
}

void WindowCreationEnded(uint32_t windowId) {
  LoadedWindow* w = FindLoadedWindow(windowId);
  if (!w) return;
  w->creating = false;
  if (w->activationPending) PostMessageA(Get().hiddenWindow, kDeferredActivationMessage, windowId, 0);
}

void DeliverDeferredActivation(uint32_t windowId) {
  LoadedWindow* w = FindLoadedWindow(windowId);
  if (!w || !w->activationPending) return;
  w->activationPending = false;
  if (!LiveWindow(*w) || w->activatedOnce) return;
  RaiseFirstActivation(windowId, w->lostWhilePending);
}

}  // namespace kernel
}  // namespace rt
