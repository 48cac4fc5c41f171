// Texts between code-page bytes and UTF-16. The program's texts become wide
// at the task dialog, COM and file-name boundaries, and UTF-8 for the
// command line's log and redirected output.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/code_page.h"

namespace korvalin {

// The wide form of a text; empty when it does not convert. Paths and names
// that came through the A functions are in the platform's code page.
std::wstring WideFromText(std::string_view text, UINT codePage = kPlatformCodePage);

// A wide text as code-page bytes; empty when it does not convert. A
// character the code page lacks becomes its default character.
std::string TextFromWide(std::wstring_view wide, UINT codePage = kPlatformCodePage);

// The UTF-8 bytes of one of the program's texts.
std::string Utf8FromText(std::string_view text);

// A new byte set of the text's UTF-16LE code units and one zero unit
// (2n + 2 bytes; an absent or empty text gives the two zero bytes alone).
// Without useCodePage the text is one of the program's; a length below 1
// means the whole text. The caller frees the result.
void* ToWideText(const char* text, UINT codePage, bool useCodePage, int32_t length);

}  // namespace korvalin
