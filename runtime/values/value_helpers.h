// Small helpers that program code uses on values, and the inline checks
// that raise runtime errors around kernel calls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "runtime/values/value.h"

namespace rt {

// Bytes before the NUL; a null text has length 0.
int32_t TextLength(const char* text);

// Always a new block, one byte long for an empty result.
Text ConcatTexts(std::initializer_list<const char*> pieces);

// A new heap copy of a text; null for an empty one, as commands return.
Text CopyText(std::string_view text);
Text CopyText(const char* text);

// Truncates toward zero. NaN, the infinities and values outside the 64-bit
// range have no integer; they give INT64_MIN, the processor's own answer,
// as the commands' truncation does. Constant-evaluable, so a conversion
// that would be undefined cannot slip back in unnoticed.
constexpr int64_t FloatToInteger(double value) {
  if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(value);
}

// Byte sets. NewByteSet returns null for length 0, as commands do.
void* NewByteSet(const void* bytes, int32_t length);
void* NewZeroByteSet(int32_t length);

// One-dimension arrays; a new empty array is the 8-byte block (1, 0).
void* NewArray(int32_t count, size_t elementSize);
// A one-dimensional array with room for `capacity` elements, its count and
// elements kept and the new room zeroed: an array that grows one element at
// a time grows its room geometrically and is not copied each time.
void* ReserveArray(void* array, int32_t capacity, size_t elementSize);
// Sets a one-dimensional array's count within the room it was given.
void SetArrayCount(void* array, int32_t count);
// Frees an array and, for text and byte-set elements, the elements first.
void FreeArray(uint32_t elementTag, void* array);

// Inline checks; each raises its runtime error and does not return on failure.
// Returns the zero-based element number for a 1-based subscript.
int64_t CheckSubscript(const void* array, int64_t subscript);
void CheckTag(uint32_t actual, uint32_t expected);
void CheckNumeric(uint32_t tag);
void CheckSelector(int64_t index, int64_t count);

}  // namespace rt
