// Fixed texts of the rule set: the document used when rules.json is missing
// or does not evaluate, and the header row's placeholders.
#pragma once

namespace korvalin {

// Code page 936, one line: Desktop, Documents and Downloads of the current user.
extern const char kBuiltInRulesDocument[];

// Row 0 is drawn with content of its own; these only fill its slots.
extern const char kHeaderRowTitle[];
extern const char kHeaderRowName[];

}  // namespace korvalin
