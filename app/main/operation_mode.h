// Normal or recovery mode, chosen once on the main window's first activation.
#pragma once

#include <windows.h>

namespace korvalin {

// True when an argument asks for recovery ("reset" in any letter case) and
// the user confirms it in a dialog owned by owner.
bool RecoveryModeChosen(HWND owner, const char* caption);

}  // namespace korvalin
