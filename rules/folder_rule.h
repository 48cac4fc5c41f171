// One folder rule as the program works with it: what rules.json (or the
// built-in document) says, and where the registry puts the folder now.
// Texts are code page 936.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

// Why a rule cannot be acted on.
enum class RuleProblem {
  kNone,
  kBroken,           // its value is missing, empty or unreadable
  kUnrepresentable,  // its directory or registry names hold '?' or '*'
  kRelative,         // its directory is no complete path
};

struct FolderRule {
  std::string title;       // what the user sees
  std::string name;        // registry value name: Desktop, Personal, {GUID}
  int32_t root = 0;        // root code 1..5; -1 for a rule found invalid
  std::string path;        // key path under the root
  bool moveFiles = false;  // files go with the folder
  std::string currentDir;  // expanded; empty for an invalid rule
  RuleProblem problem = RuleProblem::kNone;  // root is -1 unless kNone
  int32_t documentRoot = 0;  // the root code the document gave, kept when root is -1

  bool valid() const { return root != -1; }
  // The registry value that holds the folder's place: path \ name.
  std::string valuePath() const { return path + "\\" + name; }
};

using RuleSet = std::vector<FolderRule>;

// Registry names compare as the registry compares them: ASCII letters
// without regard to case, every other byte as it is.
bool SameRegistryName(const std::string& a, const std::string& b);

}  // namespace korvalin
