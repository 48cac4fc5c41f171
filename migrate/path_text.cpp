#include "migrate/path_text.h"

#include <windows.h>

#include "encoding/code_page.h"
#include "image/declared_functions.h"

namespace korvalin {
namespace {

std::string FullPath(const char* path) {
  char buffer[MAX_PATH * 4] = {};
  DWORD n = dll::GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string(path);
}

// Long names for the part of the path that exists; the rest stays as given.
std::string LongPath(const std::string& path) {
  std::string head = path;
  std::string tail;
  while (!head.empty()) {
    char buffer[MAX_PATH * 4] = {};
    DWORD n = dll::GetLongPathNameA(head.c_str(), buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) return std::string(buffer, n) + tail;
    const size_t cut = LastSeparator(head);
    if (cut == std::string::npos || cut == 0) break;
    tail = head.substr(cut) + tail;
    head.resize(cut);
  }
  return path;
}

}  // namespace

std::string TidySeparators(const std::string& path) {
  std::string out = path;
  size_t lastKept = 0;  // end of the text before a run of trailing separators
  ForEachCharacter(out, [&](size_t i, bool wide) {
    if (!wide && out[i] == '/') out[i] = '\\';
    if (wide || out[i] != '\\') lastKept = i + (wide ? 2 : 1);
  });
  out.resize(lastKept);
  // "C:" is the current directory of drive C; its root is "C:\".
  if (out.size() == 2 && out[1] == ':') out += '\\';
  return out;
}

std::string FoldCase(const std::string& path) {
  std::string out = path;
  ForEachCharacter(out, [&](size_t i, bool wide) {
    if (!wide && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
  });
  return out;
}

std::string PlaceKey(const char* path) {
  if (!path || !*path) return std::string();
  return FoldCase(TidySeparators(LongPath(TidySeparators(FullPath(path)))));
}

bool IsSameOrInside(const char* candidate, const char* directory) {
  std::string inner = PlaceKey(candidate);
  std::string outer = PlaceKey(directory);
  if (inner.empty() || outer.empty()) return false;
  if (inner == outer) return true;
  // The trail byte 0x5C of a last character (淺, 誠) is no separator.
  if (LastSeparator(outer) != outer.size() - 1) outer += '\\';
  return inner.compare(0, outer.size(), outer) == 0;
}

std::string ParentPath(const std::string& path) {
  const std::string tidy = TidySeparators(path);
  size_t cut = std::string::npos;
  int separators = 0;
  ForEachCharacter(tidy, [&](size_t i, bool wide) {
    if (!wide && tidy[i] == '\\') {
      cut = i;
      ++separators;
    }
  });
  if (cut == std::string::npos || cut + 1 == tidy.size()) return std::string();
  // A share's root is \\server\share: three separators, and no parent above.
  const bool share = tidy.rfind("\\\\", 0) == 0;
  if (share && separators <= 3) return std::string();
  // A drive's root keeps its backslash.
  if (cut == 2 && tidy[1] == ':') return tidy.substr(0, 3);
  return tidy.substr(0, cut);
}

}  // namespace korvalin
