// The program-wide globals of Korvalin: the list, the mode and the main window.
#pragma once

#include <windows.h>

#include "app/list/folder_list.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value.h"

namespace korvalin {

// The one folder list; created by the entry routine, destroyed by the exit routine.
extern FolderList* folderList;

// "移动" in normal mode, "恢复" in recovery mode: the action button's caption
// and the mode flag at once. Absent until the main window is created.
extern rt::Text modeLabel;

extern HANDLE processHeap;

// The main window and the unit that stands for the window itself.
constexpr uint32_t kMainWindowId = 0x52010001;
constexpr uint32_t kMainWindowUnit = 0x06010000;
constexpr rt::UnitRef kMainWindow = {kMainWindowId, kMainWindowUnit};

inline HWND MainWindowHandle() { return rt::WindowHandleOf(kMainWindowId); }
// The current caption, a new text the caller frees.
inline rt::Text MainWindowCaption() {
  return rt::program::ReadUnitText(kMainWindow, rt::program::kPropertyWindowTitle);
}

}  // namespace korvalin
