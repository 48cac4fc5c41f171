// Process start and end: the stand-in for the application framework's
// InitInstance/ExitInstance, InitializeRuntime and the kernel's shut-down.
#pragma once

#include <windows.h>

#include "runtime/interface/program_image.h"
#include "runtime/kernel/kernel.h"
#include "runtime/windows/message_loop.h"

namespace rt {

// Plays the framework: records the image, runs the program's entry routine
// (which runs the whole message loop) and then the kernel's shut-down.
// Returns the process exit code.
int RunApplication(const ProgramImageHeader* header, int (*entryRoutine)());

void InitializeRuntime();
void SetExitRoutine(void (*routine)());

// Called for every idle pass while the window lives; newest first.
void AddIdleHandler(HWND window, void (*routine)(intptr_t), intptr_t argument);

// The image that RunApplication (or a test) handed the kernel.
const ProgramImageHeader* CurrentProgramImage();

// Records the image before InitializeRuntime; RunApplication does this itself.
void AttachProgramImage(const ProgramImageHeader* header);

}  // namespace rt

namespace rt::kernel {

// Windows, the program's exit routine, libraries and bindings, on the GUI
// thread; EndProgram runs it once the runtime has started.
void Shutdown(int exitCode);

// How a support library calls back into the kernel (codes 2003 to 2028).
intptr_t NotificationEntry(int code, intptr_t arg1, intptr_t arg2);

}  // namespace rt::kernel
