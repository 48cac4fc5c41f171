// /list: each rule and where its folder is, for a reader or, as JSON, for
// an inventory.
#pragma once

#include "app/command/command_output.h"

namespace korvalin {

// One line a rule (title, value name, current directory, valid or invalid,
// tab-separated), or a JSON array of one object a rule: title, name, type
// and value as the registry stores them, the expanded directory, valid, and
// the reason when invalid.
int ListRules(CommandOutput& out, bool json);

}  // namespace korvalin
