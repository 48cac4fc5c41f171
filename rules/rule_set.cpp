#include "rules/rule_set.h"

#include <atomic>
#include <charconv>
#include <map>
#include <memory>
#include <optional>

#include "encoding/program_files.h"
#include "encoding/wide_text.h"
#include "image/declared_functions.h"
#include "registry/registry.h"
#include "rules/builtin_rules.h"
#include "rules/path_check.h"
#include "rules/script_json_reader.h"
#include "rules/script_object.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// The file's size as its directory entry gives it, without opening it; -1
// when there is no such file.
int64_t FileSize(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = dll::FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  dll::FindClose(search);
  return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// A number beyond 32 bits must not wrap into a valid root code; it stays
// outside 1 to 5 so the registry read refuses it.
int32_t RootCode(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<int32_t>(rt::FloatToInteger(value));
}

std::string StringOf(rt::Text text) {
  rt::OwnedText owned(text);
  return rt::TextOf(owned);
}

// Rule `index` of the rules array, its fields read in the order title, name,
// root, path, moveFiles.
FolderRule ReadRule(const ScriptObject& rules, int32_t index) {
  char digits[16] = {};
  std::to_chars(digits, digits + sizeof digits - 1, index);
  const ScriptObject record(rules.member(digits));

  FolderRule rule;
  rule.title = StringOf(record.member("title").toText());
  rule.name = StringOf(record.member("name").toText());
  rule.root = RootCode(record.member("root").toNumber());
  rule.path = StringOf(record.member("path").toText());
  rule.moveFiles = record.member("moveFiles").toBool();
  return rule;
}

// The document's rules, or nothing when it does not evaluate.
std::optional<RuleSet> EvaluateDocument(const void* bytes, const std::atomic<bool>* givenUp = nullptr) {
  ScriptJsonReader reader;
  if (!reader.bind(bytes)) return std::nullopt;
  RuleSet rules = ReadRules(reader, givenUp);
  reader.clear();
  return rules;
}

RuleSet BuiltInRules() {
  rt::OwnedBlock document(ToWideText(kBuiltInRulesDocument, 0, false, 0));
  return EvaluateDocument(document.get()).value_or(RuleSet());
}

class RulesEvaluation final : public Evaluation {
 public:
  explicit RulesEvaluation(rt::OwnedBlock bytes) : bytes_(std::move(bytes)) {}
  void evaluate(const std::atomic<bool>& givenUp) override { rules = EvaluateDocument(bytes_.get(), &givenUp); }

  std::optional<RuleSet> rules;

 private:
  rt::OwnedBlock bytes_;
};

// rules.json's rules, evaluated with a bound on how long that may take.
LoadedRules EvaluateRulesFile(rt::OwnedBlock bytes, WorkerWait wait, DWORD evaluationMs) {
  auto evaluation = std::make_shared<RulesEvaluation>(std::move(bytes));
  const std::optional<WaitOutcome> outcome = EvaluateWithinBound(evaluation, wait, evaluationMs);
  if (!outcome) return {BuiltInRules(), RulesSource::kBuiltInTimedOut};
  if (outcome == WaitOutcome::kAbandoned) return {RuleSet(), RulesSource::kAbandoned};
  if (outcome == WaitOutcome::kTimedOut) return {BuiltInRules(), RulesSource::kBuiltInTimedOut};
  if (!evaluation->rules) return {BuiltInRules(), RulesSource::kBuiltIn};
  return {std::move(*evaluation->rules), RulesSource::kFile};
}

LoadedRules EvaluateRules(WorkerWait wait, DWORD evaluationMs) {
  const std::string path = PathBesideProgram("rules.json");
  if (FileSize(path) > kLargestRulesFile) return {BuiltInRules(), RulesSource::kBuiltInTooLarge};
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(path.c_str()));
  if (rt::ByteSetLength(bytes.get()) == 0) return {BuiltInRules(), RulesSource::kBuiltIn};
  return EvaluateRulesFile(std::move(bytes), wait, evaluationMs);
}

// Each distinct key of a load, opened once.
class KeyReaders {
 public:
  std::string readExpanded(int32_t root, const std::string& valuePath) {
    const ValuePath split = SplitValuePath(valuePath.c_str());
    auto& reader = readers_[{root, split.keyPathArg()}];
    if (!reader) reader = std::make_unique<RegistryKeyReader>(root, split.keyPathArg());
    return reader->readExpanded(split.valueNameArg());
  }

 private:
  std::map<std::pair<int32_t, std::string>, std::unique_ptr<RegistryKeyReader>> readers_;
};

// The folder's place from the registry; the rule is marked invalid when it
// is missing, or when it or the rule's registry names cannot be used.
void ReadCurrentDirectory(FolderRule& rule, KeyReaders& keys) {
  rule.documentRoot = rule.root;
  if (HoldsWildcard(rule.name) || HoldsWildcard(rule.path)) {
    rule.problem = RuleProblem::kUnrepresentable;
  } else {
    rule.currentDir = keys.readExpanded(rule.root, rule.valuePath());
    const PathProblem problem = ProblemOfPath(rule.currentDir);
    if (rule.currentDir.empty()) rule.problem = RuleProblem::kBroken;
    else if (problem == PathProblem::kUnrepresentable) rule.problem = RuleProblem::kUnrepresentable;
    else if (problem == PathProblem::kRelative) rule.problem = RuleProblem::kRelative;
  }
  if (rule.problem == RuleProblem::kNone) return;
  rule.root = -1;
  rule.currentDir.clear();
}

}  // namespace

// Reading members of the array object, not evaluating an expression for
// each, keeps a long rule set from costing an evaluation per field.
RuleSet ReadRules(ScriptJsonReader& reader, const std::atomic<bool>* givenUp) {
  RuleSet rules;
  const int32_t count = reader.length("regPath");
  if (count <= 0) return rules;
  const ScriptObject array(reader.value("regPath"));
  for (int32_t i = 0; i < count && !(givenUp && givenUp->load(std::memory_order_relaxed)); ++i)
    rules.push_back(ReadRule(array, i));
  return rules;
}

LoadedRules ReadRuleSet(WorkerWait wait, DWORD evaluationMs) {
  LoadedRules loaded = EvaluateRules(wait, evaluationMs);
  KeyReaders keys;
  for (FolderRule& rule : loaded.rules) ReadCurrentDirectory(rule, keys);
  return loaded;
}

const char* BuiltInRulesNotice(RulesSource source) {
  if (source == RulesSource::kBuiltInTooLarge) return "rules.json 文件超过 16 MB，未读取，已改用内置的目录规则。";
  if (source == RulesSource::kBuiltInTimedOut) return "rules.json 在 8 秒内未能读完，已改用内置的目录规则。";
  return nullptr;
}

}  // namespace korvalin
