// Kernel state shared by the runtime's start-up, windows, errors and binding.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/interface/program_image.h"

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
};

State& Get();

// Records the image that InitializeRuntime reads; called before anything else.
void SetProgramImage(const ProgramImageHeader* header);

intptr_t NotificationEntry(int code, intptr_t arg1, intptr_t arg2);

// Declared-function caches (declared_functions.cpp).
void PrepareDeclaredFunctions(uint32_t count, const char* const* libraries, const char* const* functions);
void ReleaseDeclaredFunctions();
void* BindDeclaredFunction(int index);

void Shutdown(int exitCode);
// Events reach the program only while the counter is 0. Runtime errors and
// shut-down raise it for good; creating a window raises it for a while.
void RaiseEventSuppression();
void LowerEventSuppression();

}  // namespace rt::kernel
