// The service table behind helper entry 12.
#pragma once

#include <cstddef>

namespace rt {

enum ServiceNumber : int {
  kServiceMakeArrayWritable = 2,
  kServiceSetExitRoutine = 3,
  kServiceInitializeRuntime = 6,
  kServiceCount = 7,
};

}  // namespace rt

// Indexed by service number; the reserved numbers do nothing and return 0.
extern "C" const void* const KorvalinServiceTable[rt::kServiceCount];
