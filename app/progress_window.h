// The window a copy shows while it runs: files and bytes done of the total,
// the current file, and a Cancel button. The copy runs on a thread of its
// own; the main window keeps painting but takes no input meanwhile.
#pragma once

#include <functional>

#include "migrate/tree_copy.h"

namespace korvalin {

CopyReport CopyWithProgressWindow(const std::function<CopyReport()>& copy, CopyProgress& progress);

}  // namespace korvalin
