#include "runtime/windows/loaded_windows.h"

#include "runtime/kernel/kernel.h"
#include "runtime/kernel/runtime_error.h"

namespace rt {
namespace {

std::vector<std::unique_ptr<LoadedWindow>>& Windows() {
  static std::vector<std::unique_ptr<LoadedWindow>> windows;
  return windows;
}

std::unique_ptr<LoadedUnit> LoadUnit(const UnitTemplate& unit, const void* codeBase) {
  auto loaded = std::make_unique<LoadedUnit>();
  loaded->data = unit;
  const auto base = reinterpret_cast<uintptr_t>(codeBase);
  for (const EventBinding& b : unit.events) {
    uintptr_t routine = b.handler == kNoHandler ? 0 : base + static_cast<uintptr_t>(static_cast<intptr_t>(b.handler));
    loaded->events.push_back({b.event, routine});
  }
  return loaded;
}

}  // namespace

void InstallWindowTemplates(const TemplateCollection& collection, const void* codeBase) {
  for (const WindowTemplate& t : collection.windows) {
    auto w = std::make_unique<LoadedWindow>();
    w->record = t;
    w->record.units.clear();
    for (const UnitTemplate& u : t.units) w->units.push_back(LoadUnit(u, codeBase));
    Windows().push_back(std::move(w));
  }
}

LoadedWindow* FindLoadedWindow(uint32_t windowId) {
  for (const auto& w : Windows())
    if (w->record.id == windowId) return w.get();
  return nullptr;
}

LoadedWindow* FindLoadedWindow(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (const auto& w : Windows())
    if (w->hwnd == hwnd) return w.get();
  return nullptr;
}

LoadedUnit* FindLoadedUnit(LoadedWindow& window, uint32_t unitId) {
  for (const auto& u : window.units)
    if (u->data.id == unitId) return u.get();
  return nullptr;
}

LoadedUnit* OwnUnit(LoadedWindow& window) { return window.units.empty() ? nullptr : window.units.front().get(); }

HWND LiveWindow(const LoadedWindow& window) { return window.hwnd && IsWindow(window.hwnd) ? window.hwnd : nullptr; }

HWND WindowHandleOf(uint32_t windowId) {
  LoadedWindow* w = FindLoadedWindow(windowId);
  return w ? LiveWindow(*w) : nullptr;
}

HWND ResolveUnit(uint32_t windowId, uint32_t unitId) {
  LoadedWindow* w = FindLoadedWindow(windowId);
  LoadedUnit* own = w ? OwnUnit(*w) : nullptr;
  if (!own || own->data.id != unitId) return nullptr;
  return LiveWindow(*w);
}

namespace kernel {

void LoadWindowTemplates(const void* block, uint32_t size, const void* codeBase) {
  TemplateCollection collection;
  if (!ReadTemplateBlock(block, size, collection)) ReportRuntimeError("载入窗口模板数据段出错!", 0);
  InstallWindowTemplates(collection, codeBase);
}

bool AnyLoadedWindowExists() {
  for (const auto& w : Windows())
    if (LiveWindow(*w)) return true;
  return false;
}

void DestroyAllLoadedWindows() {
  for (size_t i = 0; i < Windows().size(); ++i)
    if (HWND hwnd = LiveWindow(*Windows()[i])) DestroyWindow(hwnd);
}

void LoadedWindowDestroyed(HWND hwnd) {
  LoadedWindow* w = FindLoadedWindow(hwnd);
  if (!w) return;
  w->hwnd = nullptr;
  w->creating = false;
  w->activatedOnce = false;
  w->activationPending = false;
  if (Get().loopEntered && !AnyLoadedWindowExists()) PostQuitMessage(0);
}

}  // namespace kernel
}  // namespace rt
