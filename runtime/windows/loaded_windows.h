// The kernel's loaded windows: the templates read at start-up, each with its
// live window once created. Records are held by unique_ptr and never move;
// code that runs program routines finds them again by identifier afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/windows/window_templates.h"

namespace rt {

struct BoundEvent {
  int32_t event;
  uintptr_t routine;  // 0 when the event has no handler
};

struct LoadedUnit {
  UnitTemplate data;  // template values; property writes before creation land here
  std::vector<BoundEvent> events;
};

struct LoadedWindow {
  WindowTemplate record;  // its units are moved to `units`
  std::vector<std::unique_ptr<LoadedUnit>> units;
  HWND hwnd = nullptr;
  bool creating = false;           // from creation until events 0, 3 and 4 have run
  bool activatedOnce = false;      // event 8 delivered for this window
  bool activationPending = false;  // the first activation waits for creation to end
  bool lostWhilePending = false;   // and the window was deactivated since
};

// Adds a read collection, handler offsets turned into routines of codeBase.
void InstallWindowTemplates(const TemplateCollection& collection, const void* codeBase);

LoadedWindow* FindLoadedWindow(uint32_t windowId);
LoadedWindow* FindLoadedWindow(HWND hwnd);
// The unit with exactly this identifier, or null.
LoadedUnit* FindLoadedUnit(LoadedWindow& window, uint32_t unitId);
LoadedUnit* OwnUnit(LoadedWindow& window);
HWND LiveWindow(const LoadedWindow& window);

// The live window of a loaded window, or null.
HWND WindowHandleOf(uint32_t windowId);
// The live window of a unit, or null. Only the window's own unit resolves to
// the window itself.
HWND ResolveUnit(uint32_t windowId, uint32_t unitId);

// Creates the window from its template (or brings an existing one forward);
// "载入启动窗口失败" when it cannot.
void LoadStartupWindow(uint32_t windowId);

namespace kernel {

// Reads the program's block; a block that cannot be read is the runtime
// error "载入窗口模板数据段出错!".
void LoadWindowTemplates(const void* block, uint32_t size, const void* codeBase);
bool AnyLoadedWindowExists();
void DestroyAllLoadedWindows();
// From the kernel's window procedure when a loaded window is gone.
void LoadedWindowDestroyed(HWND hwnd);

}  // namespace kernel
}  // namespace rt
