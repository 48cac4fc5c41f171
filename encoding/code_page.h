// The two code pages and the character walk in them, for the layers above
// encoding: the names come from the runtime, which needs them too.
#pragma once

#include "runtime/values/code_page_characters.h"

namespace korvalin {

using rt::ForEachCharacter;
using rt::IsLeadByte;
using rt::kPlatformCodePage;
using rt::kProgramCodePage;
using rt::LastSeparator;

}  // namespace korvalin
