#include "app/main_window.h"

#include "app/entry.h"
#include "app/globals.h"
#include "app/operation_mode.h"
#include "app/placement.h"
#include "app/folder_action.h"
#include "app/rule_rows.h"
#include "runtime/command_calls.h"
#include "runtime/loaded_windows.h"
#include "runtime/program_calls.h"
#include "runtime/value_helpers.h"
#include "runtime/window_events.h"

namespace korvalin {
namespace {

// Handlers are stored as offsets from the program's first routine.
int32_t HandlerOffset(void (*handler)()) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(handler) - reinterpret_cast<intptr_t>(&ProgramEntry));
}

rt::UnitTemplate MainWindowUnit() {
  rt::UnitTemplate unit;
  unit.id = kMainWindowUnit;
  unit.type = rt::kUnitTypeWindow;
  unit.left = 50;
  unit.top = 50;
  unit.width = 591;
  unit.height = 373;
  unit.mousePointer.assign(4, '\0');  // the default pointer
  unit.flags = rt::kUnitVisible;
  unit.events = {{rt::kEventCreated, HandlerOffset(OnMainWindowCreated)},
                 {rt::kEventFirstActivated, HandlerOffset(OnMainWindowFirstActivated)}};
  rt::WindowClassBlock& c = unit.windowClass;
  c.borderStyle = 1;
  c.maximizeBox = 1;
  c.minimizeBox = 1;
  c.controlBox = 1;
  c.startPosition = 1;
  c.className = "SysPath_Mirt_Main";
  c.title = "Korvalin " KORVALIN_VERSION;
  return unit;
}

void SetModeLabel(const char* label) {
  rt::program::Free(modeLabel);
  modeLabel = rt::CopyText(label);
}

}  // namespace

rt::TemplateCollection MainWindowTemplates() {
  rt::WindowTemplate window;
  window.id = kMainWindowId;
  window.word1 = 0x2524240;
  window.word2 = 0x19010030;
  window.units.push_back(MainWindowUnit());
  rt::TemplateCollection collection;
  collection.windows.push_back(std::move(window));
  return collection;
}

void OnMainWindowCreated() {
  RestoreWindowPlacement();
  folderList->create(MainWindowHandle(), 0, 0, rt::cmd::ClientWidth(kMainWindow), rt::cmd::ClientHeight(kMainWindow),
                     0, 0, LBS_HASSTRINGS, true);
  folderList->setItemHeight(72, true);
  folderList->setFont(nullptr, false, 18, true, false, false);
  folderList->setBackColor(0xFFFFFF);
  folderList->setRowActionHandler(RunFolderOperation, 0);
  SetModeLabel("移动");
}

void OnMainWindowFirstActivated() {
  // Closed while the rules were read: nothing more to ask.
  if (!LoadRuleSet()) return;
  ChooseOperationMode();
}

HWND MainWindowHandle() { return rt::WindowHandleOf(kMainWindowId); }

rt::Text MainWindowCaption() { return rt::program::ReadUnitText(kMainWindow, rt::program::kPropertyWindowTitle); }

}  // namespace korvalin
