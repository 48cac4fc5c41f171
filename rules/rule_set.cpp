#include "rules/rule_set.h"

#include <charconv>

#include "encoding/text_encoding.h"
#include "registry/registry.h"
#include "rules/builtin_rules.h"
#include "rules/script_json_reader.h"
#include "runtime/command_calls.h"
#include "runtime/owned_value.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

// rules.json beside the program; no bytes when it cannot be read.
rt::OwnedBlock ReadRulesFile() {
  rt::OwnedText directory(rt::cmd::GetRunDirectory());
  rt::OwnedText path(rt::ConcatTexts({directory.get(), "\\rules.json"}));
  return rt::OwnedBlock(rt::cmd::ReadFileBytes(path.get()));
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

// Rule `index` of the document, its fields read in the order title, name,
// root, path, moveFiles, then its directory from the registry.
FolderRule ReadRule(ScriptJsonReader& reader, int32_t index) {
  char digits[16] = {};
  std::to_chars(digits, digits + sizeof digits - 1, index);
  auto field = [&](const char* member) { return rt::OwnedText(rt::ConcatTexts({"regPath[", digits, "].", member})); };

  FolderRule rule;
  rule.title = StringOf(reader.text(field("title").get()));
  rule.name = StringOf(reader.text(field("name").get()));
  rule.root = RootCode(reader.value(field("root").get()).toNumber());
  rule.path = StringOf(reader.text(field("path").get()));
  rule.moveFiles = reader.value(field("moveFiles").get()).toBool();
  rule.currentDir = ReadExpandedRegistryText(rule.root, rule.valuePath().c_str());
  if (rule.currentDir.empty()) rule.root = -1;
  return rule;
}

}  // namespace

RuleSet ReadRuleSet() {
  ScriptJsonReader reader;
  rt::OwnedBlock bytes = ReadRulesFile();
  if (!reader.bind(bytes.get())) {
    // A second failure leaves no engine; every read below is then neutral.
    rt::OwnedBlock builtIn(ToWideText(kBuiltInRulesDocument, 0, false, 0));
    reader.bind(builtIn.get());
  }
  const int32_t count = reader.length("regPath");
  RuleSet rules;
  for (int32_t i = 0; i < count; ++i) rules.push_back(ReadRule(reader, i));
  reader.clear();
  return rules;
}

}  // namespace korvalin
