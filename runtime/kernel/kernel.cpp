#include "runtime/kernel/kernel.h"

namespace rt {
namespace kernel {

State& Get() {
  static State state;
  return state;
}

void SetProgramImage(const ProgramImageHeader* header) { Get().header = header; }

void RaiseEventSuppression() { InterlockedIncrement(&Get().eventSuppression); }
void LowerEventSuppression() { InterlockedDecrement(&Get().eventSuppression); }

}  // namespace kernel

void EndProgram(int exitCode) {
  if (void (*shutdown)(int) = kernel::Get().shutdown) shutdown(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace rt
