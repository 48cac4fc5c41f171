#include "runtime/values/value_helpers.h"

#include <cstring>

#include "runtime/values/heap.h"
#include "runtime/kernel/runtime_error.h"

namespace rt {

int32_t TextLength(const char* text) {
  return text ? static_cast<int32_t>(std::strlen(text)) : 0;
}

Text ConcatTexts(std::initializer_list<const char*> pieces) {
  size_t total = 0;
  for (const char* p : pieces) total += static_cast<size_t>(TextLength(p));
  char* out = static_cast<char*>(Allocate(total + 1));
  char* at = out;
  for (const char* p : pieces) {
    size_t n = static_cast<size_t>(TextLength(p));
    std::memcpy(at, p, n);
    at += n;
  }
  *at = '\0';
  return out;
}

Text CopyText(std::string_view text) {
  if (text.empty()) return nullptr;
  char* out = static_cast<char*>(Allocate(text.size() + 1));
  std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return out;
}

Text CopyText(const char* text) {
  return CopyText(std::string_view(text ? text : ""));
}

void* NewByteSet(const void* bytes, int32_t length) {
  if (length <= 0) return nullptr;
  auto* header = static_cast<ByteSetHeader*>(Allocate(sizeof(ByteSetHeader) + static_cast<size_t>(length)));
  header->dimensions = 1;
  header->length = length;
  if (bytes) std::memcpy(ByteSetData(header), bytes, static_cast<size_t>(length));
  return header;
}

void* NewZeroByteSet(int32_t length) {
  void* block = NewByteSet(nullptr, length);
  if (block) std::memset(ByteSetData(block), 0, static_cast<size_t>(length));
  return block;
}

void* NewArray(int32_t count, size_t elementSize) {
  size_t bytes = 2 * sizeof(int32_t) + elementSize * static_cast<size_t>(count < 0 ? 0 : count);
  auto* block = static_cast<int32_t*>(Allocate(bytes));
  block[0] = 1;
  block[1] = count < 0 ? 0 : count;
  std::memset(block + 2, 0, bytes - 2 * sizeof(int32_t));
  return block;
}

void* ReserveArray(void* array, int32_t capacity, size_t elementSize) {
  const int64_t count = array ? ArrayElementCount(array) : 0;
  void* reserved = NewArray(capacity, elementSize);
  if (count > 0) std::memcpy(ArrayElements<uint8_t>(reserved), ArrayElements<uint8_t>(array), count * elementSize);
  SetArrayCount(reserved, static_cast<int32_t>(count));
  Free(array);
  return reserved;
}

void SetArrayCount(void* array, int32_t count) { static_cast<int32_t*>(array)[1] = count; }

void FreeArray(uint32_t elementTag, void* array) {
  if (!array) return;
  uint32_t base = BaseTag(elementTag);
  if (base == kTagText || base == kTagByteSet) {
    void** elements = ArrayElements<void*>(array);
    for (int64_t i = 0; i < ArrayElementCount(array); ++i) Free(elements[i]);
  }
  Free(array);
}

int64_t CheckSubscript(const void* array, int64_t subscript) {
  if (subscript - 1 < 0) RaiseRuntimeError(4);
  if (subscript - 1 >= ArrayElementCount(array)) RaiseRuntimeError(1);
  return subscript - 1;
}

void CheckTag(uint32_t actual, uint32_t expected) {
  if (actual != expected) RaiseRuntimeError(5);
}

void CheckNumeric(uint32_t tag) {
  if (!IsNumericTag(tag)) RaiseRuntimeError(2);
}

void CheckSelector(int64_t index, int64_t count) {
  if (index < 0 || index >= count) RaiseRuntimeError(9);
}

}  // namespace rt
