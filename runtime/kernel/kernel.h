// Kernel state shared by the runtime's start-up, windows, errors and binding,
// and the end of the process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>


namespace rt {
struct ProgramImageHeader;
struct LibraryInfo;
}  // namespace rt

namespace rt::kernel {

struct IdleHandler {
  HWND window;
  void (*routine)(intptr_t argument);
  intptr_t argument;
};

struct State {
  const ProgramImageHeader* header = nullptr;
  HANDLE processHeap = nullptr;
  uint32_t runMode = 0;
  uint32_t reserved = 0;
  uint32_t unitSerial = 0;
  bool oleInitialized = false;
  std::string programDirectory;  // no trailing backslash
  std::string programFileName;
  std::string moduleDirectory;  // with a trailing backslash
  HWND hiddenWindow = nullptr;
  DWORD guiThread = 0;
  std::vector<std::string> libraryNames;
  std::vector<std::string> functionNames;
  std::vector<void*> boundAddresses;
  std::vector<HMODULE> boundModules;
  std::vector<const LibraryInfo*> libraries;
  std::vector<IdleHandler> idleHandlers;
  bool loopEntered = false;
  int quitCode = 0;
  volatile LONG shutdownBegun = 0;
  void (*exitRoutine)() = nullptr;
  volatile LONG eventSuppression = 0;
  // The start-up's shut-down, set once there is anything to shut down.
  void (*shutdown)(int exitCode) = nullptr;
};

State& Get();

// Records the image that InitializeRuntime reads; called before anything else.
void SetProgramImage(const ProgramImageHeader* header);

// Events reach the program only while the counter is 0. Runtime errors and
// shut-down raise it for good; creating a window raises it for a while.
void RaiseEventSuppression();
void LowerEventSuppression();

}  // namespace rt::kernel

namespace rt {

// Shuts the runtime down (when it was started) and ends the process.
[[noreturn]] void EndProgram(int exitCode);

}  // namespace rt
