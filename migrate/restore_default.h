// Recovery mode's row action: points a folder back at its default.
#pragma once

#include <cstdint>

#include "app/folder_list.h"

namespace korvalin {

// The default is read from HKEY_LOCAL_MACHINE under the rule's key path,
// "Backup", and the rule's value name, and expanded.
void RestoreDefaultDirectory(int32_t row, const FolderRow& record);

}  // namespace korvalin
