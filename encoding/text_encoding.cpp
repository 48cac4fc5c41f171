#include "encoding/text_encoding.h"

#include <cstring>

#include "image/declared_functions.h"
#include "runtime/commands/command_calls.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/code_page_characters.h"

namespace korvalin {

void* ToWideText(const char* text, UINT codePage, bool useCodePage, int32_t length) {
  if (!useCodePage) codePage = rt::kProgramCodePage;
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
