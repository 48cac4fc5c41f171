#include "migrate/folder_operation.h"

namespace korvalin {

void RunFolderOperation(int32_t) {}

}  // namespace korvalin
