// A move that was cut short (the process killed, the power gone), found by
// its journal at the next start.
#pragma once

#include "migrate/operation_host.h"
#include "rules/folder_rule.h"

namespace korvalin {

bool InterruptedMoveFound();

// Tells what was interrupted, where the files are and what the registry
// says now. When the move stopped after the switch but before the old
// place was touched, it offers to put the old value back; only for a value
// one of `rules` names, and only an old value that is a usable directory.
// The journal goes once the user has been told.
void ExplainInterruptedMove(const RuleSet& rules, OperationHost& host);

}  // namespace korvalin
