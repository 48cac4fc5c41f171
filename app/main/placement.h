// The main window's saved placement ("Win.data") and its window hook.
#pragma once

#include <windows.h>

namespace korvalin {

// Moves the main window to the saved placement, when that lies on a
// monitor, and installs MainWindowHook on window.
void RestoreWindowPlacement(HWND window);

// Keeps the list on the whole client area, holds the minimum size at
// 520 x 330 and saves the placement on WM_CLOSE; every message then goes on
// to the previous procedure.
LRESULT CALLBACK MainWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace korvalin
