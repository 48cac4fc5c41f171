// The window a copy shows while it runs: files and bytes done of the total,
// the current file, and a Cancel button. The copy runs on a thread of its
// own; the owner keeps painting but takes no input meanwhile.
#pragma once

#include <windows.h>

#include <functional>

#include "migrate/tree_copy.h"

namespace korvalin {

CopyReport CopyWithProgressWindow(HWND owner, const std::function<CopyReport()>& copy, CopyProgress& progress);

}  // namespace korvalin
