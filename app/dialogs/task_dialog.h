// The one wrapper through which every question and message is shown.
#pragma once

#include <windows.h>

#include <cstdint>

namespace korvalin {

// Common-button sets the program uses.
constexpr int32_t kButtonsOkCancel = 9;  // TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON
constexpr int32_t kButtonsClose = 0x20;  // TDCBF_CLOSE_BUTTON

// A TaskDialog icon: the ordinal -n in the low word, 0 in the high word
// (0xFFF7 for 9).
int32_t IconOrdinal(int32_t n);

// Shows a task dialog with code-page-936 texts (any may be absent; the
// caller keeps them) and an icon ordinal from IconOrdinal. Returns the
// pressed button (1 OK, 2 Cancel, 8 Close), or TaskDialog's failure code;
// only 1 counts as consent.
int32_t ShowTaskDialog(HWND owner, const char* title, const char* instruction, const char* content,
                       int32_t buttons, int32_t icon);

// A warning with OK and Cancel whose default button is Cancel, so that a
// hasty Enter declines; true only when OK was pressed.
bool ShowWarningQuestion(HWND owner, const char* title, const char* instruction, const char* content);

}  // namespace korvalin
