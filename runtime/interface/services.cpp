#include "runtime/interface/services.h"

#include <windows.h>

#include "runtime/values/heap.h"
#include "runtime/interface/startup.h"

namespace {

// Services are reached through the checked indexed call, so on i686 they
// remove their own arguments like the declared functions do.
intptr_t WINAPI ReservedService() { return 0; }

void WINAPI MakeArrayWritableService(size_t elementSize, void** arrayVariable) {
  rt::MakeArrayWritable(elementSize, arrayVariable);
}

void WINAPI SetExitRoutineService(void (*routine)()) { rt::SetExitRoutine(routine); }

void WINAPI InitializeRuntimeService() { rt::InitializeRuntime(); }

}  // namespace

extern "C" const void* const KorvalinServiceTable[rt::kServiceCount] = {
    reinterpret_cast<const void*>(&ReservedService),
    reinterpret_cast<const void*>(&ReservedService),
    reinterpret_cast<const void*>(&MakeArrayWritableService),
    reinterpret_cast<const void*>(&SetExitRoutineService),
    reinterpret_cast<const void*>(&ReservedService),
    reinterpret_cast<const void*>(&ReservedService),
    reinterpret_cast<const void*>(&InitializeRuntimeService),
};
