#include "rules/document_bytes.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "encoding/wide_text.h"
#include "image/declared_functions.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr int kMaxPieces = 10;

// Counts with the strict UTF-8 check first; bytes that fail it are GBK.
void* DecodeUnmarked(const uint8_t* bytes, int32_t length) {
  auto* text = reinterpret_cast<LPCCH>(bytes);
  UINT codePage = CP_UTF8;
  int units = dll::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
  if (units == 0) {
    codePage = kProgramCodePage;
    units = dll::MultiByteToWideChar(kProgramCodePage, 0, text, length, nullptr, 0);
  }
  if (units <= 0 || units > (INT32_MAX - 2) / 2) return nullptr;
  // The zero fill leaves the last unit as the terminator.
  void* wide = rt::NewZeroByteSet((units + 1) * 2);
  dll::MultiByteToWideChar(codePage, 0, text, length, reinterpret_cast<LPWSTR>(rt::ByteSetData(wide)), units);
  return wide;
}

// Bytes of a piece without one trailing zero unit.
int32_t JoinedLength(const void* piece) {
  int32_t length = rt::ByteSetLength(piece);
  if (length < 2) return length;
  const uint8_t* data = rt::ByteSetData(piece);
  return data[length - 1] == 0 && data[length - 2] == 0 ? length - 2 : length;
}

}  // namespace

void* DecodeDocumentBytes(const void* byteSet) {
  const int32_t length = rt::ByteSetLength(byteSet);
  if (length <= 2) return nullptr;
  const uint8_t* bytes = rt::ByteSetData(byteSet);
  if (bytes[0] == 0xEF && bytes[1] == 0xBB) {
    // A mark with nothing after it is an empty document: a zero length
    // would make the conversion measure up to a NUL the bytes do not hold.
    if (length == 3) return nullptr;
    return ToWideText(reinterpret_cast<const char*>(bytes + 3), CP_UTF8, true, length - 3);
  }
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return rt::NewByteSet(bytes + 2, length - 2);
  if (bytes[1] == 0) return rt::NewByteSet(bytes, length);
  return DecodeUnmarked(bytes, length);
}

void* JoinWideTexts(std::initializer_list<const void*> pieces) {
  int64_t total = 2;
  int count = 0;
  for (const void* piece : pieces) {
    if (!piece || count == kMaxPieces) break;
    total += JoinedLength(piece);
    ++count;
  }
  if (total > INT32_MAX) return nullptr;
  void* joined = rt::NewZeroByteSet(static_cast<int32_t>(total));
  uint8_t* at = rt::ByteSetData(joined);
  for (const void* piece : pieces) {
    if (count-- == 0) break;
    int32_t length = JoinedLength(piece);
    if (length > 0) std::memcpy(at, rt::ByteSetData(piece), static_cast<size_t>(length));
    at += length;
  }
  return joined;
}

}  // namespace korvalin
