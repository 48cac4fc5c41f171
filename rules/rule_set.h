// The rule set: rules.json beside the program, or the built-in document when
// that file is missing or does not evaluate, read once at start-up.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "rules/bounded_evaluation.h"
#include "rules/folder_rule.h"
#include "rules/script_json_reader.h"

namespace korvalin {

// Where the rules came from. The last three deserve a word to the user.
enum class RulesSource {
  kFile,
  kBuiltIn,           // no rules.json, or one that does not evaluate
  kBuiltInTooLarge,   // rules.json is larger than any rule set: not read
  kBuiltInTimedOut,   // rules.json did not finish evaluating in time
  kAbandoned,         // the wait was given up (the program is ending): no rules
};

// A file larger than this is not read.
constexpr int64_t kLargestRulesFile = 16 * 1024 * 1024;
// How long rules.json may take to evaluate, all of it.
constexpr DWORD kRulesEvaluationMs = kScriptTimeoutMs;

struct LoadedRules {
  RuleSet rules;
  RulesSource source = RulesSource::kBuiltIn;
};

// The rules in document order, each with the folder's current directory
// read from the registry and expanded. A rule whose directory cannot be
// read, or whose directory or registry names cannot be used, comes back
// invalid (root -1, no directory, the problem named). A root code outside
// 1 to 5 is the registry's runtime error 9.
//
// rules.json is evaluated on a thread of its own, so that a document that
// never finishes cannot hold the program: after `evaluationMs` the
// built-in rules take its place and that thread runs on at idle priority
// until the process ends.
LoadedRules ReadRuleSet(WorkerWait wait = nullptr, DWORD evaluationMs = kRulesEvaluationMs);

// Why rules.json was passed over for the built-in rules, for the user; null
// when it was not.
const char* BuiltInRulesNotice(RulesSource source);

// The rules of a bound document, without their directories: the rules
// array is evaluated once and each rule's fields read from it in the order
// title, name, root, path, moveFiles. Reading stops once `givenUp` is set.
RuleSet ReadRules(ScriptJsonReader& reader, const std::atomic<bool>* givenUp = nullptr);

}  // namespace korvalin
