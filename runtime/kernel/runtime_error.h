// The runtime error report: a message box, then the end of the process.
#pragma once

namespace rt {

// Shows "运行时出错!" with the code (when not 0) and the message (when not
// empty), forgets the exit routine and ends the process with -1.
[[noreturn]] void ReportRuntimeError(const char* message, int code);

// One of the fixed errors 1 to 11, with its own message.
[[noreturn]] void RaiseRuntimeError(int code);

// The fixed message of codes 1 to 11; empty for any other code.
const char* RuntimeErrorMessage(int code);

}  // namespace rt
