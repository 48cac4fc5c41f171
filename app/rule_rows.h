// The rule set in the folder list: row 0 is the header, row k rule k. The
// list keeps each rule as its title (the list-box string) and its record.
#pragma once

#include <cstdint>

#include "rules/folder_rule.h"

namespace korvalin {

// Adds the header row and one row per rule of the rule set to folderList,
// the window answering meanwhile, and tells the user when rules.json was
// passed over. False when the window went away while the rules were read.
bool LoadRuleSet();

// Adds one rule as a row; an invalid rule shows why in place of its
// directory.
void AddRuleRow(const FolderRule& rule);

// The rule a row holds now (its check box may have changed moveFiles).
FolderRule RuleOfRow(int32_t row);

}  // namespace korvalin
