#include "app/command/command_list.h"

#include <cstdio>

#include "app/command/command_host.h"
#include "app/command/exit_codes.h"
#include "encoding/code_page.h"
#include "registry/registry.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// A JSON string of a code-page text: quotes, backslashes and control
// characters escaped; a two-byte character (whose second byte may be 0x5C)
// kept whole.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  ForEachCharacter(text, [&](size_t at, bool twoBytes) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (twoBytes) {
      out.append(text, at, 2);
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  });
  return out + "\"";
}

std::string TypeName(DWORD type) {
  switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
  }
  return "REG_" + std::to_string(type);
}

const char* Reason(RuleProblem problem) {
  switch (problem) {
    case RuleProblem::kUnrepresentable:
      return "the directory or the registry names hold a character the code page cannot hold";
    case RuleProblem::kRelative: return "the directory is not a complete path";
    case RuleProblem::kBroken:
    case RuleProblem::kNone: break;
  }
  return "the value is missing, empty or not a text";
}

// The stored value and its type, as JSON members; null where there is none.
std::string StoredMembers(const FolderRule& rule) {
  if (rule.documentRoot < 1 || rule.documentRoot > 5) return "\"type\": null, \"value\": null";
  DWORD type = REG_NONE;
  rt::OwnedBlock stored(ReadRegistryValue(rule.documentRoot, rule.valuePath().c_str(), &type));
  const int32_t length = rt::ByteSetLength(stored.get());
  if (length <= 0) return "\"type\": null, \"value\": null";
  const char* bytes = reinterpret_cast<const char*>(rt::ByteSetData(stored.get()));
  const bool text = type == REG_SZ || type == REG_EXPAND_SZ;
  const std::string value = text ? Quoted(std::string(bytes, strnlen(bytes, static_cast<size_t>(length)))) : "null";
  return "\"type\": " + Quoted(TypeName(type)) + ", \"value\": " + value;
}

std::string JsonOf(const FolderRule& rule) {
  std::string object = "{\"title\": " + Quoted(rule.title) + ", \"name\": " + Quoted(rule.name) + ", " +
                       StoredMembers(rule) + ", \"directory\": " +
                       (rule.valid() ? Quoted(rule.currentDir) : std::string("null")) +
                       ", \"valid\": " + (rule.valid() ? "true" : "false");
  if (!rule.valid()) object += ", \"reason\": " + Quoted(Reason(rule.problem));
  return object + "}";
}

}  // namespace

int ListRules(CommandOutput& out, bool json) {
  const RuleSet rules = ReadRulesTelling(out);
  if (!json) {
    for (const FolderRule& rule : rules)
      out.line(rule.title + "\t" + rule.name + "\t" + rule.currentDir + "\t" + (rule.valid() ? "valid" : "invalid"));
    return kExitDone;
  }
  out.line("[");
  for (size_t i = 0; i < rules.size(); ++i) out.line(JsonOf(rules[i]) + (i + 1 < rules.size() ? "," : ""));
  out.line("]");
  return kExitDone;
}

}  // namespace korvalin
