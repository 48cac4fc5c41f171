#include "encoding/shown_names.h"

#include <windows.h>

#include <cstdio>

#include "encoding/code_page.h"
#include "image/declared_functions.h"

namespace korvalin {
namespace {

// One character (one or two code units) as code-page bytes, when it comes
// back from them unchanged.
bool HeldByCodePage(const wchar_t* units, int count, std::string& bytes) {
  char buffer[8] = {};
  BOOL usedDefault = FALSE;
  const int length = dll::WideCharToMultiByte(kPlatformCodePage, WC_NO_BEST_FIT_CHARS, units, count, buffer,
                                              sizeof buffer, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  wchar_t back[4] = {};
  if (dll::MultiByteToWideChar(kPlatformCodePage, MB_ERR_INVALID_CHARS, buffer, length, back, 4) != count) return false;
  for (int i = 0; i < count; ++i)
    if (back[i] != units[i]) return false;
  bytes.assign(buffer, static_cast<size_t>(length));
  return true;
}

}  // namespace

std::string TextForShowing(const std::wstring& name) {
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    const wchar_t unit = name[at];
    const bool pair =
        unit >= 0xD800 && unit <= 0xDBFF && at + 1 < name.size() && name[at + 1] >= 0xDC00 && name[at + 1] <= 0xDFFF;
    const int count = pair ? 2 : 1;
    std::string bytes;
    if (unit < 0x80 && unit >= 0x20) {
      shown += static_cast<char>(unit);
    } else if (unit >= 0x80 && HeldByCodePage(name.data() + at, count, bytes)) {
      shown += bytes;
    } else {
      const unsigned long point =
          pair ? 0x10000ul + ((static_cast<unsigned long>(unit) - 0xD800) << 10) + (name[at + 1] - 0xDC00) : unit;
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "<U+%04lX>", point);
      shown += escaped;
    }
    at += static_cast<size_t>(count);
  }
  return shown;
}

}  // namespace korvalin
