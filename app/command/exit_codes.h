// The process exit codes of the commands.
#pragma once

namespace korvalin {

// The process exit codes: a deployment tool takes 0 as done, 5 as "try
// again later", 6 as done with files kept in the old place, and the rest as
// failures that switched nothing.
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitBadArguments = 2;
constexpr int kExitCopyFailed = 3;
constexpr int kExitWriteFailed = 4;
constexpr int kExitAnotherRunning = 5;
constexpr int kExitOldPlaceKept = 6;
constexpr int kExitOtherAccount = 7;  // not the desktop's user, without /as-this-account
constexpr int kExitNeedsRights = 8;   // a step was refused for want of rights

}  // namespace korvalin
