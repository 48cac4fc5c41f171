#include "rules/path_check.h"

#include <string_view>

#include "encoding/code_page.h"

namespace korvalin {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// CON, NUL, COM1 and the rest: the name before any extension, trailing
// spaces ignored, in any case.
bool IsDeviceName(std::string_view part) {
  std::string base = Upper(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (base == device) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

bool IsBadPart(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  return part.back() == ' ' || part.back() == '.' || IsDeviceName(part);
}

}  // namespace

bool HoldsWildcard(const std::string& text) { return text.find_first_of("?*") != std::string::npos; }

NameProblem ProblemOfDirectoryName(const std::string& path) {
  if (ProblemOfPath(path) == PathProblem::kRelative) return NameProblem::kRelative;
  bool badCharacter = false;
  bool badName = false;
  size_t partStart = 0;
  ForEachCharacter(path, [&](size_t at, bool twoBytes) {
    if (twoBytes) return;
    const auto c = static_cast<unsigned char>(path[at]);
    if (c < 0x20 || c == '<' || c == '>' || c == '|' || c == '"' || c == '*' || c == '?' || (c == ':' && at != 1))
      badCharacter = true;
    if (IsSeparator(static_cast<char>(c))) {
      badName = badName || IsBadPart(std::string_view(path).substr(partStart, at - partStart));
      partStart = at + 1;
    }
  });
  badName = badName || IsBadPart(std::string_view(path).substr(partStart));
  if (badCharacter) return NameProblem::kInvalidCharacter;
  return badName ? NameProblem::kInvalidName : NameProblem::kNone;
}

PathProblem ProblemOfPath(const std::string& path) {
  if (HoldsWildcard(path)) return PathProblem::kUnrepresentable;
  const bool drive = path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
  const bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
  return drive || share ? PathProblem::kNone : PathProblem::kRelative;
}

}  // namespace korvalin
