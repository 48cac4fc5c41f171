// Owners for the texts, byte sets and arrays that the kernel and the runtime
// commands hand to program code: the receiver frees each one, on every path.
#pragma once

#include <memory>

#include "runtime/interface/program_calls.h"
#include "runtime/values/value.h"

namespace rt {

struct FreeValueBlock {
  void operator()(void* block) const { program::Free(block); }
};

using OwnedText = std::unique_ptr<char, FreeValueBlock>;
using OwnedBlock = std::unique_ptr<void, FreeValueBlock>;

// An owned text read as the "absent is empty" form the commands take.
inline const char* TextOf(const OwnedText& text) { return text ? text.get() : ""; }

}  // namespace rt
