// The main window's saved placement ("Win.data") and its window hook.
#pragma once

namespace korvalin {

// Moves the main window to the saved placement and installs MainWindowHook.
void RestoreWindowPlacement();

}  // namespace korvalin
