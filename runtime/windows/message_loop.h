// The message loop, and where it takes its messages from.
#pragma once

#include <windows.h>

namespace rt {

// Runs until the last loaded window is gone or WM_QUIT comes.
void RunMessageLoop();

// GetMessageA, unless a test stands in to see how the loop treats the
// call's results. Returns the previous source; null restores GetMessageA.
using MessageSource = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
MessageSource SetMessageSource(MessageSource source);

}  // namespace rt
