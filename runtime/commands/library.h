// The runtime's own support library: its record, and the way back into the
// kernel that the kernel hands it at start-up.
#pragma once

#include <cstdint>

#include "runtime/commands/dispatch.h"

namespace rt {

// (code, argument 1, argument 2) -> result: how a support library calls back.
using NotificationEntry = intptr_t (*)(int code, intptr_t arg1, intptr_t arg2);

struct LibraryCommandInfo {
  const char* name;
  RuntimeCommand command;
};

// A support library's record, listed in the program image.
struct LibraryInfo {
  uint32_t format;  // 20000101
  const char* name;
  const char* description;
  int32_t versionMajor;
  int32_t versionMinor;
  intptr_t (*notify)(int code, intptr_t arg1, intptr_t arg2);
  const char* const* dataTypeNames;
  int32_t dataTypeCount;
  const LibraryCommandInfo* commands;
  int32_t commandCount;
};

// The runtime's own support library (the commands that program code calls).
const LibraryInfo& RuntimeLibraryInfo();

}  // namespace rt

namespace rt::library {

// Calls the kernel's notification entry (codes 2003, 2007, 2023 to 2028).
intptr_t Kernel(int code, intptr_t arg1 = 0, intptr_t arg2 = 0);

enum NotificationCode : int {
  kProgramDirectory = 2003,
  kResolveUnit = 2007,
  kFreeArray = 2023,
  kAllocate = 2024,
  kFree = 2025,
  kReallocate = 2026,
  kReportError = 2027,
  kEndProgram = 2028,
};

// The commands the library lists in its record (command_table.cpp).
extern const LibraryCommandInfo kCommands[];
extern const int32_t kCommandCount;

}  // namespace rt::library
