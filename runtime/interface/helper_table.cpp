// The kernel's entries as the program and its support libraries reach them:
// the helper table a program copies into its constant block, and the
// notification entry a library calls back through.
#include "runtime/commands/dispatch.h"
#include "runtime/interface/program_image.h"
#include "runtime/interface/startup.h"
#include "runtime/kernel/kernel.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/values/heap.h"
#include "runtime/values/value_helpers.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/message_loop.h"
#include "runtime/windows/unit_properties.h"

extern "C" void KorvalinCallDeclaredFunction();
extern "C" void KorvalinCallService();

namespace rt {
namespace kernel {

intptr_t NotificationEntry(int code, intptr_t arg1, intptr_t arg2) {
  switch (code) {
    case 2003:
      return reinterpret_cast<intptr_t>(Get().programDirectory.c_str());
    case 2007: {
      HWND hwnd = ResolveUnit(static_cast<uint32_t>(arg1), static_cast<uint32_t>(arg2));
      if (!hwnd) ReportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0);
      return reinterpret_cast<intptr_t>(hwnd);
    }
    case 2023:
      FreeArray(static_cast<uint32_t>(arg1), reinterpret_cast<void*>(arg2));
      return 0;
    case 2024:
      return reinterpret_cast<intptr_t>(Allocate(static_cast<size_t>(arg1)));
    case 2025:
      Free(reinterpret_cast<void*>(arg1));
      return 0;
    case 2026:
      return reinterpret_cast<intptr_t>(Reallocate(reinterpret_cast<void*>(arg1), static_cast<size_t>(arg2)));
    case 2027:
      ReportRuntimeError(reinterpret_cast<const char*>(arg1), 0);
    case 2028:
      EndProgram(static_cast<int>(arg1));
    default:
      return 0;
  }
}

}  // namespace kernel

namespace {

void RaiseEntry(int code) { RaiseRuntimeError(code); }
void EndEntry(int code) { EndProgram(code); }

const RuntimeHelperTable kKernelTable = {
    RaiseEntry,
    reinterpret_cast<const void*>(&KorvalinCallDeclaredFunction),
    DispatchCommand,
    DispatchCommand,
    ReadUnitProperty,
    WriteUnitProperty,
    Allocate,
    Reallocate,
    Free,
    EndEntry,
    RunMessageLoop,
    LoadStartupWindow,
    reinterpret_cast<const void*>(&KorvalinCallService),
};

}  // namespace

const RuntimeHelperTable& KernelHelperTable() { return kKernelTable; }

}  // namespace rt
