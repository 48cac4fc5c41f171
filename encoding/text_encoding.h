// Texts become UTF-16 only at the task dialog and COM boundaries; this
// makes the wide form.
#pragma once

#include <windows.h>

#include <cstdint>

namespace korvalin {

// A new byte set of the text's UTF-16LE code units and one zero unit
// (2n + 2 bytes; an absent or empty text gives the two zero bytes alone).
// Without useCodePage the text is one of the program's own; a length below 1
// means the whole text. The caller frees the result.
void* ToWideText(const char* text, UINT codePage, bool useCodePage, int32_t length);

}  // namespace korvalin
