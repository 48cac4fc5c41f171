// The row action: moves a row's shell folder, or restores its default in
// recovery mode.
#pragma once

#include <cstdint>

namespace korvalin {

// row: the list row index (1 for the first rule). Runs the operation on the
// row's rule with the window's dialogs, then shows the new directory in the
// row and restarts the shell once the folder is switched.
void RunFolderOperation(int32_t row);

}  // namespace korvalin
