#include "app/main/main_window.h"

#include "app/dialogs/window_host.h"
#include "app/list/rule_rows.h"
#include "app/main/globals.h"
#include "app/main/operation_mode.h"
#include "app/main/placement.h"
#include "app/main/folder_action.h"
#include "runtime/interface/command_calls.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "runtime/windows/window_events.h"

namespace korvalin {
namespace {

// Handlers are stored as offsets from the program's first routine.
int32_t HandlerOffset(void (*handler)(), const void* codeBase) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(handler) - reinterpret_cast<intptr_t>(codeBase));
}

rt::UnitTemplate MainWindowUnit(const void* codeBase) {
  rt::UnitTemplate unit;
  unit.id = kMainWindowUnit;
  unit.type = rt::kUnitTypeWindow;
  unit.left = 50;
  unit.top = 50;
  unit.width = 591;
  unit.height = 373;
  unit.mousePointer.assign(4, '\0');  // the default pointer
  unit.flags = rt::kUnitVisible;
  unit.events = {{rt::kEventCreated, HandlerOffset(OnMainWindowCreated, codeBase)},
                 {rt::kEventFirstActivated, HandlerOffset(OnMainWindowFirstActivated, codeBase)}};
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
  folderList->setActionCaption(label);
}

void EnterRecoveryMode() {
  SetModeLabel("恢复");
  rt::Text caption = MainWindowCaption();
  rt::Text marked = rt::ConcatTexts({caption, " [ 恢复模式 ]"});
  rt::program::WriteUnitText(kMainWindow, rt::program::kPropertyWindowTitle, marked);
  rt::program::Free(marked);
  rt::program::Free(caption);
}

}  // namespace

rt::TemplateCollection MainWindowTemplates(const void* codeBase) {
  rt::WindowTemplate window;
  window.id = kMainWindowId;
  window.word1 = 0x2524240;
  window.word2 = 0x19010030;
  window.units.push_back(MainWindowUnit(codeBase));
  rt::TemplateCollection collection;
  collection.windows.push_back(std::move(window));
  return collection;
}

void OnMainWindowCreated() {
  RestoreWindowPlacement(MainWindowHandle());
  folderList->create(MainWindowHandle(), 0, 0, rt::cmd::ClientWidth(kMainWindow), rt::cmd::ClientHeight(kMainWindow),
                     0, 0, LBS_HASSTRINGS, true);
  folderList->setItemHeight(72, true);
  folderList->setFont(nullptr, false, 18, true, false, false);
  folderList->setBackColor(0xFFFFFF);
  folderList->setRowActionHandler(RunFolderOperation, 0);
  SetModeLabel("移动");
}

void OnMainWindowFirstActivated() {
  rt::OwnedText caption(MainWindowCaption());
  WindowHost host(MainWindowHandle(), rt::TextOf(caption));
  // Closed while the rules were read: nothing more to ask.
  if (!LoadRuleSet(*folderList, host)) return;
  if (RecoveryModeChosen(MainWindowHandle(), caption.get())) EnterRecoveryMode();
}

}  // namespace korvalin
