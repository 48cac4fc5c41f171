// The program's two code pages, and walking a code-page-936 text character
// by character. A byte of 0x81 to 0xFE starts a two-byte character whose
// second byte may be 0x40 to 0xFE, the backslash (0x5C) among them: a
// byte-wise search for '\' cuts such a character (誠, 運, 淺 and about a
// hundred more) in two.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace rt {

// The program's own texts: its literals, compiled as code page 936, and the
// messages made of them.
constexpr UINT kProgramCodePage = 936;
// Texts that come from or go to the platform's A functions (registry
// values, the folder browser, the command line, file names) and COM
// strings: the ANSI code page, as the A functions read them.
constexpr UINT kPlatformCodePage = CP_ACP;

constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Calls visit(offset, twoBytes) for each character; a lead byte that ends
// the text stands alone.
template <typename Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
  for (size_t at = 0; at < text.size();) {
    const bool twoBytes = IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
    visit(at, twoBytes);
    at += twoBytes ? 2 : 1;
  }
}

// The offset of the last character that is `separator` itself (an ASCII
// byte), or npos.
inline size_t LastSeparator(std::string_view text, char separator = '\\') {
  size_t found = std::string_view::npos;
  ForEachCharacter(text, [&](size_t at, bool twoBytes) {
    if (!twoBytes && text[at] == separator) found = at;
  });
  return found;
}

}  // namespace rt
