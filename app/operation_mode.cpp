#include "app/operation_mode.h"

namespace korvalin {

void ChooseOperationMode() {}

}  // namespace korvalin
