// The folder browser that picks a row's new directory.
#pragma once

#include <windows.h>

#include "runtime/values/value.h"

namespace korvalin {

// The chosen directory's path as a new text, or empty (null) when the user
// cancelled or chose something that is not a file-system directory.
rt::Text BrowseForNewFolder(HWND owner, const char* prompt);

}  // namespace korvalin
