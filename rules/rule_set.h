// The rule set: rules.json beside the program, or the built-in document,
// loaded once into the folder list.
#pragma once

namespace korvalin {

// Adds the header row and one row per rule to folderList.
void LoadRuleSet();

}  // namespace korvalin
