// The command line's commands, run without a window.
#pragma once

#include "app/command_line.h"

namespace korvalin {

// Runs the command and returns the process exit code: 0 done, 1 refused by
// a check, 2 bad arguments or unknown NAME, 3 the copy failed, 4 the
// registry value could not be written.
int RunCommand(const CommandLine& line);

}  // namespace korvalin
