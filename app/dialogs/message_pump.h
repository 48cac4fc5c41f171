// Waiting for a worker thread while the window goes on answering.
#pragma once

#include <windows.h>

namespace korvalin {

enum class PumpResult { kEnded, kTimedOut, kQuit };

// Dispatches this thread's messages (a dialog's through IsDialogMessage)
// until the thread ends, `milliseconds` pass or a WM_QUIT comes. A quit is
// taken from the queue and its code handed back, for the caller to post
// again once it is ready to end.
PumpResult PumpWhileWaiting(HANDLE thread, DWORD milliseconds, HWND dialog, int* quitCode);

}  // namespace korvalin
