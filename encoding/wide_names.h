// Names and paths between the program's code-page texts and the platform's
// wide names. Paths that came through the A functions (the registry, the
// folder browser, the command line) are in the system's ANSI code page; a
// wide name is written back only to be shown.
#pragma once

#include <string>

namespace korvalin {

// The wide form of a code-page path; empty when it does not convert.
std::wstring WideFromText(const std::string& text);

// A wide name as text for a message or the log. A character the code page
// cannot hold, or holds only as a look-alike, is written as <U+XXXX>
// (<U+1F600> for one beyond the first plane), never as '?'.
std::string TextForShowing(const std::wstring& name);

}  // namespace korvalin
