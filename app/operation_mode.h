// Normal or recovery mode, chosen once on the main window's first activation.
#pragma once

namespace korvalin {

void ChooseOperationMode();

}  // namespace korvalin
