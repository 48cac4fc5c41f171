// Wide names written back only to be shown: in a message or the log.
#pragma once

#include <string>

namespace korvalin {

// A wide name as text for a message or the log. A character the platform's
// code page cannot hold, or holds only as a look-alike, is written as
// <U+XXXX> (<U+1F600> for one beyond the first plane), never as '?'.
std::string TextForShowing(const std::wstring& name);

}  // namespace korvalin
