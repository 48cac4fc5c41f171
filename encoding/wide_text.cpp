#include "encoding/wide_text.h"

#include <cstring>

#include "image/declared_functions.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {

std::wstring WideFromText(std::string_view text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int units = dll::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  dll::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), units);
  return wide;
}

std::string TextFromWide(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return std::string();
  const int units = static_cast<int>(wide.size());
  const int bytes = dll::WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string text(static_cast<size_t>(bytes), '\0');
  dll::WideCharToMultiByte(codePage, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::string Utf8FromText(std::string_view text) { return TextFromWide(WideFromText(text, kProgramCodePage), CP_UTF8); }

void* ToWideText(const char* text, UINT codePage, bool useCodePage, int32_t length) {
  if (!useCodePage) codePage = kProgramCodePage;
  int32_t units = 0;
  int32_t bytes = 0;
  if (text) {
    bytes = length < 1 ? dll::lstrlenA(text) : length;
    // A length of 0 makes the conversion fail, which leaves the empty result.
    units = dll::MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    // 2n + 2 must stay a valid byte-set length; a text that large counts as
    // a failed conversion rather than a wrapped size.
    if (units < 0 || units > (INT32_MAX - 2) / 2) units = 0;
  }
  // The zero fill supplies the terminating code unit.
  void* working = rt::cmd::ZeroByteSet(2 * units + 2);
  if (units > 0) {
    auto* wide = reinterpret_cast<LPWSTR>(rt::ByteSetData(working));
    dll::MultiByteToWideChar(codePage, 0, text, bytes, wide, units + 1);
  }
  size_t size = sizeof(rt::ByteSetHeader) + static_cast<size_t>(rt::ByteSetLength(working));
  void* result = rt::program::Allocate(size);
  std::memcpy(result, working, size);
  rt::program::Free(working);
  return result;
}

}  // namespace korvalin
