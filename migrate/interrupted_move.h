// A move that was cut short (the process killed, the power gone), found by
// its journal at the next start.
#pragma once

#include "migrate/operation_host.h"

namespace korvalin {

bool InterruptedMoveFound();

// Tells what was interrupted, where the files are and what the registry
// says now, and offers to put the old value back when the folder had
// already been switched. The journal goes once the user has been told.
void ExplainInterruptedMove(OperationHost& host);

}  // namespace korvalin
