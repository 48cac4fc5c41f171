// The row action: moves a row's shell folder, or restores its default in
// recovery mode.
#pragma once

#include <cstdint>

namespace korvalin {

// row: the list row index (1 for the first rule).
void RunFolderOperation(int32_t row);

}  // namespace korvalin
