#include "rules/path_check.h"

namespace korvalin {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool HoldsWildcard(const std::string& text) { return text.find_first_of("?*") != std::string::npos; }

PathProblem ProblemOfPath(const std::string& path) {
  if (HoldsWildcard(path)) return PathProblem::kUnrepresentable;
  const bool drive = path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
  const bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
  return drive || share ? PathProblem::kNone : PathProblem::kRelative;
}

}  // namespace korvalin
