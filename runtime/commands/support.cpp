#include "runtime/commands/support.h"

#include "runtime/values/heap.h"
#include "runtime/commands/library.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/values/value_helpers.h"

namespace rt::commands::detail {

int64_t TruncateDouble(double d) { return FloatToInteger(d); }

int64_t IntegerOf(const ValueRecord& r) {
  ValueRecord v = r;
  if (IsByRef(r.tag)) {
    // A variable passed by address: read it as its base kind.
    const void* p = r.pointer();
    if (!p) return 0;
    v = ValueRecord();
    v.tag = BaseTag(r.tag);
    size_t width = BasicWidth(v.tag);
    uint64_t bits = 0;
    std::memcpy(&bits, p, width > 8 ? 8 : width);
    v.low = static_cast<uint32_t>(bits);
    v.high = static_cast<uint32_t>(bits >> 32);
  }
  switch (v.tag) {
    case kTagByte: return v.low & 0xFF;
    case kTagShort: return static_cast<int16_t>(v.low);
    case kTagLong: return v.asLong();
    case kTagFloat: return TruncateDouble(v.asFloat());
    case kTagDouble: return TruncateDouble(v.asDouble());
    case kTagBool: return v.low != 0;
    default: return static_cast<int32_t>(v.low);
  }
}

const void* ByteSetArgument(const ValueRecord& r) {
  if (r.tag == kTagByteSet) return r.pointer();
  if (r.tag == (kTagByteSet | kTagByRef)) {
    const void* const* variable = static_cast<const void* const*>(r.pointer());
    return variable ? *variable : nullptr;
  }
  RaiseRuntimeError(11);
}

void* AllocateBlock(size_t bytes) {
  if (void* p = reinterpret_cast<void*>(library::Kernel(library::kAllocate, static_cast<intptr_t>(bytes))))
    return p;
  // Only before the kernel has attached the library; the heap reports failure itself.
  return Allocate(bytes);
}

void FreeBlock(void* block) {
  if (block) Free(block);
}

char* NewText(const void* bytes, size_t length) {
  if (length == 0) return nullptr;
  auto* text = static_cast<char*>(AllocateBlock(length + 1));
  std::memcpy(text, bytes, length);
  text[length] = '\0';
  return text;
}

void* NewBytes(const void* bytes, size_t length) {
  if (length == 0 || length > 0x7FFFFFF0u) return nullptr;
  auto* header = static_cast<ByteSetHeader*>(AllocateBlock(sizeof(ByteSetHeader) + length));
  header->dimensions = 1;
  header->length = static_cast<int32_t>(length);
  if (bytes) std::memcpy(rt::ByteSetData(header), bytes, length);
  else std::memset(rt::ByteSetData(header), 0, length);
  return header;
}

size_t BasicWidth(uint32_t tag) {
  switch (BaseTag(tag)) {
    case kTagByte: return 1;
    case kTagShort: return 2;
    case kTagInt:
    case kTagFloat:
    case kTagBool: return 4;
    case kTagSubroutine: return sizeof(void*);
    case kTagLong:
    case kTagDouble:
    case kTagDateTime: return 8;
    default: return 0;
  }
}

size_t NumericWidth(uint32_t tag) { return IsNumericTag(tag) ? BasicWidth(tag) : 0; }

}  // namespace rt::commands::detail
