// The rule set: rules.json beside the program, or the built-in document when
// that file is missing or does not evaluate, read once at start-up.
#pragma once

#include "rules/folder_rule.h"

namespace korvalin {

// The rules in document order, each with the folder's current directory
// read from the registry and expanded. A rule whose directory cannot be
// read comes back invalid (root -1, no directory). A root code outside 1
// to 5 is the registry's runtime error 9.
RuleSet ReadRuleSet();

}  // namespace korvalin
