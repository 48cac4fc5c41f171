// The command line's commands, run without a window.
#pragma once

#include "app/command/command_line.h"
#include "app/command/exit_codes.h"

namespace korvalin {

// Runs the command and returns the process exit code. `alone` is false
// when another Korvalin runs from the same directory: only /list runs then.
int RunCommand(const CommandLine& line, bool alone);

}  // namespace korvalin
