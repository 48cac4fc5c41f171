#include "app/placement.h"

namespace korvalin {

void RestoreWindowPlacement() {}

}  // namespace korvalin
