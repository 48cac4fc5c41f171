#include "automation/bridge.h"
#include "runtime/values/code_page_characters.h"
#include "runtime/values/heap.h"

namespace rt::automation {

WideText WideFromText(const char* text) {
  if (!text || !*text) return WideText();
  int units = MultiByteToWideChar(kPlatformCodePage, 0, text, -1, nullptr, 0);
  if (units <= 1) return WideText();
  WideText wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(kPlatformCodePage, 0, text, -1, wide.data(), units);
  wide.resize(static_cast<size_t>(units - 1));
  return wide;
}

BSTR TextToBstr(const char* text) {
  WideText wide = WideFromText(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

Text TextFromWide(const wchar_t* wide, int32_t units) {
  if (!wide || units <= 0) return nullptr;
  int bytes = WideCharToMultiByte(kPlatformCodePage, 0, wide, units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return nullptr;
  char* text = static_cast<char*>(Allocate(static_cast<size_t>(bytes) + 1));
  WideCharToMultiByte(kPlatformCodePage, 0, wide, units, text, bytes, nullptr, nullptr);
  text[bytes] = '\0';
  // Runtime values hand back null for an empty text.
  if (!text[0]) {
    Free(text);
    return nullptr;
  }
  return text;
}

Text TextFromBstr(BSTR text) {
  return TextFromWide(text, text ? static_cast<int32_t>(SysStringLen(text)) : 0);
}

}  // namespace rt::automation
