// What a program hands the runtime: its image header and the helper table
// kept in its constant block.
#pragma once

#include <cstdint>

#include "runtime/commands/dispatch.h"
#include "runtime/commands/library.h"
#include "runtime/windows/unit_properties.h"

namespace rt {

// The 13 entries through which program code reaches the kernel, in this order.
// Entries 1 and 12 are trampolines: the function or service number travels in
// a register (eax on i686, r10 on x86_64) and the caller's own arguments are
// handed on untouched, so the target returns straight to the caller.
struct RuntimeHelperTable {
  void (*raiseRuntimeError)(int code);
  const void* callDeclaredFunction;
  ValueRecord (*dispatchCommandAlt)(RuntimeCommand, int, const ValueRecord*);
  ValueRecord (*dispatchCommand)(RuntimeCommand, int, const ValueRecord*);
  PropertyWords (*readUnitProperty)(uint32_t window, uint32_t unit, int32_t property, int32_t element);
  void (*writeUnitProperty)(uint32_t window, uint32_t unit, int32_t property, int32_t element, uint32_t low,
                            uint32_t high);
  void* (*allocate)(size_t bytes);
  void* (*reallocate)(void* block, size_t bytes);
  void (*free)(void* block);
  void (*endProgram)(int exitCode);
  void (*runMessageLoop)();
  void (*loadStartupWindow)(uint32_t windowId);
  const void* callService;
};

// The kernel's own copy of the table, which a program copies into its
// constant block.
const RuntimeHelperTable& KernelHelperTable();

// Thirteen fields; on i686 each is one 32-bit word, on x86_64 the addresses
// are pointer-sized.
struct ProgramImageHeader {
  uint32_t runMode;
  uint32_t reserved;
  uint32_t lastUnitSerial;
  const void* codeBase;
  const void* constantBlock;  // starts with the program's RuntimeHelperTable
  uint32_t constantBlockSize;
  const void* templateBlock;
  uint32_t templateBlockSize;
  uint32_t libraryCount;
  const LibraryInfo* const* libraries;
  uint32_t declaredFunctionCount;
  const char* const* libraryNames;
  const char* const* functionNames;
};

}  // namespace rt
