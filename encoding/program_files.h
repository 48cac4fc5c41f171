// Files the program keeps beside itself: its rules, its window placement,
// the journal of a move under way.
#pragma once

#include <string>

namespace korvalin {

// The program's directory, a backslash and `name`.
std::string PathBesideProgram(const char* name);

}  // namespace korvalin
