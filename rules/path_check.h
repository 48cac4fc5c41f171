// Whether a path that came from outside (the registry, the folder browser,
// a rule, the command line) can be acted on.
#pragma once

#include <string>

namespace korvalin {

enum class PathProblem {
  kNone,
  // '?' or '*': never part of a real Windows path. The platform hands back
  // '?' for every character code page 936 cannot hold, and the file
  // commands take both as wildcards that reach other directories.
  kUnrepresentable,
  // Not absolute: a relative path is taken from the program's directory.
  kRelative,
};

// kNone for a drive letter, colon and backslash, or a UNC path, holding
// neither wildcard. An empty path is kRelative.
PathProblem ProblemOfPath(const std::string& path);

// What keeps a path given as a new directory (the folder browser, the
// command line, a default) from naming a directory Windows can hold.
enum class NameProblem {
  kNone,
  kRelative,          // not absolute
  // < > | " * ? or a control character, or ':' past the drive: no name
  // holds them ('?' also stands for a character the code page lacks).
  kInvalidCharacter,
  // A part that ends in a space or a dot, which Windows drops, or that is
  // a device (CON, NUL, COM1, LPT1 and the rest, with or without an
  // extension), which is no directory at all.
  kInvalidName,
};

NameProblem ProblemOfDirectoryName(const std::string& path);

// True when the text holds '?' or '*' (both below every trail byte of
// code page 936, so a plain byte scan is exact).
bool HoldsWildcard(const std::string& text);

}  // namespace korvalin
