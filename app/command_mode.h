// The command line's commands, run without a window.
#pragma once

#include "app/command_line.h"

namespace korvalin {

// The process exit codes: a deployment tool takes 0 as done, 5 as "try
// again later", and the rest as failures that changed nothing (1 to 4) or
// that moved the folder but kept files in the old place (6).
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitBadArguments = 2;
constexpr int kExitCopyFailed = 3;
constexpr int kExitWriteFailed = 4;
constexpr int kExitAnotherRunning = 5;
constexpr int kExitOldPlaceKept = 6;

// Runs the command and returns the process exit code. `alone` is false
// when another Korvalin runs from the same directory: only /list runs then.
int RunCommand(const CommandLine& line, bool alone);

}  // namespace korvalin
