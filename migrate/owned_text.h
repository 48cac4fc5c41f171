// Owners for the texts and blocks that commands and kernel calls hand back,
// so every exit path of an operation frees them.
#pragma once

#include <memory>

#include "runtime/program_calls.h"
#include "runtime/value.h"

namespace korvalin {

struct FreeRuntimeBlock {
  void operator()(void* block) const { rt::program::Free(block); }
};

using OwnedText = std::unique_ptr<char, FreeRuntimeBlock>;
using OwnedBytes = std::unique_ptr<void, FreeRuntimeBlock>;

// Reads an owned text as the "absent is empty" form the commands take.
inline const char* TextOf(const OwnedText& text) { return text ? text.get() : ""; }

}  // namespace korvalin
