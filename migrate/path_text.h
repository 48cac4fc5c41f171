// Directory paths compared as places rather than as spellings.
#pragma once

#include <string>

namespace korvalin {

// Backslashes for slashes and no trailing backslash (a drive root keeps
// its own). Double-byte characters are stepped over whole, so a trail byte
// that looks like a backslash is never touched.
std::string TidySeparators(const std::string& path);

// ASCII letters lowered, double-byte characters kept.
std::string FoldCase(const std::string& path);

// The path made absolute, short names made long as far as the path exists,
// tidied and case-folded.
std::string PlaceKey(const char* path);

// True when `candidate` names `directory` itself or a place inside it.
bool IsSameOrInside(const char* candidate, const char* directory);

// The tidied path without its last part; empty for a root ("C:\", a share
// "\\server\share") or a path without a separator.
std::string ParentPath(const std::string& path);

}  // namespace korvalin
