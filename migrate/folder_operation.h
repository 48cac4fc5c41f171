// The row action: moves a row's shell folder, or restores its default in
// recovery mode.
#pragma once

#include <cstdint>

#include "app/folder_list.h"

namespace korvalin {

// row: the list row index (1 for the first rule).
void RunFolderOperation(int32_t row);

// The tail shared by a change and a restore: the registry value, the files
// when the row moves them, the row's directory and the shell. A new
// directory that is the current one or lies inside it is refused first.
void ApplyNewDirectory(int32_t row, const FolderRow& record, const char* newDirectory);

}  // namespace korvalin
