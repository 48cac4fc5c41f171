// Process start and end: the stand-in for the application framework's
// InitInstance/ExitInstance, InitializeRuntime and EndProgram.
#pragma once

#include <windows.h>

#include "runtime/interface/program_image.h"

namespace rt {

// Plays the framework: records the image, runs the program's entry routine
// (which runs the whole message loop) and then the kernel's shut-down.
// Returns the process exit code.
int RunApplication(const ProgramImageHeader* header, int (*entryRoutine)());

void InitializeRuntime();
void SetExitRoutine(void (*routine)());
[[noreturn]] void EndProgram(int exitCode);
void RunMessageLoop();

// Called for every idle pass while the window lives; newest first.
void AddIdleHandler(HWND window, void (*routine)(intptr_t), intptr_t argument);

}  // namespace rt

namespace rt {
// The image that RunApplication (or a test) handed the kernel.
const ProgramImageHeader* CurrentProgramImage();
}  // namespace rt

namespace rt {
// Records the image before InitializeRuntime; RunApplication does this itself.
void AttachProgramImage(const ProgramImageHeader* header);
}  // namespace rt
