// The rule set in the folder list: row 0 is the header, row k rule k. The
// list keeps each rule as its title (the list-box string) and its record.
#pragma once

#include <cstdint>

#include "app/list/folder_list.h"
#include "migrate/operation_host.h"
#include "rules/folder_rule.h"

namespace korvalin {

// Adds the header row and one row per rule of the rule set to the list,
// the window answering meanwhile, and tells the user through host when
// rules.json was passed over. False when the window went away while the
// rules were read.
bool LoadRuleSet(FolderList& list, OperationHost& host);

// Adds one rule as a row; an invalid rule shows why in place of its
// directory.
void AddRuleRow(FolderList& list, const FolderRule& rule);

// The rule a row holds now (its check box may have changed moveFiles).
FolderRule RuleOfRow(FolderList& list, int32_t row);

}  // namespace korvalin
