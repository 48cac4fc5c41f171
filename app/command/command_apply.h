// /apply FILE: a whole layout of folders, checked together before anything
// moves, then moved one after another.
#pragma once

#include "app/command/command_line.h"
#include "app/command/command_output.h"

namespace korvalin {

// Reads the layout (rules/layout_file.h), checks every entry (a folder a
// rule names, once; a directory that can be used; no two folders in one
// place; room for all copies together) and, only when all pass, runs each
// move, a line each. A folder already where its entry says is done. The
// exit code is the worst of them.
int ApplyLayout(const CommandLine& line, CommandOutput& out);

}  // namespace korvalin
