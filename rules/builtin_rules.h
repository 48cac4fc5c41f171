// The document used when rules.json is missing or does not evaluate.
#pragma once

namespace korvalin {

// Code page 936, one line: Desktop, Documents and Downloads of the current user.
extern const char kBuiltInRulesDocument[];

}  // namespace korvalin
