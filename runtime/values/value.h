// The runtime's value model: type tags, the three-word value record and the
// heap-held Text, Byte-set and Array values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rt {

// Type tags. Basic tags have the top bits 10; the runtime's own library types
// sit in library 1 (high half) with their type number in the low half.
enum TypeTag : uint32_t {
  kTagNothing = 0,
  kTagByte = 0x80000101,
  kTagShort = 0x80000201,
  kTagInt = 0x80000301,
  kTagLong = 0x80000401,
  kTagFloat = 0x80000501,
  kTagDouble = 0x80000601,
  kTagBool = 0x80000002,
  kTagDateTime = 0x80000003,
  kTagText = 0x80000004,
  kTagByteSet = 0x80000005,
  kTagSubroutine = 0x80000006,
  kTagWindowRef = 0x00010001,
  kTagComObject = 0x00010030,
  kTagVariant = 0x00010031,
};

// Set on a tag when the value word holds the address of a variable (or of an
// array value) of the base type.
constexpr uint32_t kTagByRef = 0x20000000;

enum class TagClass { None, Basic, Second, Library };

constexpr uint32_t BaseTag(uint32_t tag) { return tag & ~kTagByRef; }
constexpr bool IsByRef(uint32_t tag) { return (tag & kTagByRef) != 0; }

constexpr TagClass ClassOfTag(uint32_t tag) {
  if (tag == 0) return TagClass::None;
  switch (tag >> 30) {
    case 2: return TagClass::Basic;
    case 1: return TagClass::Second;
    default: return TagClass::Library;
  }
}

// The six numeric tags are the basic tags whose low byte is 1.
constexpr bool IsNumericTag(uint32_t tag) {
  uint32_t base = BaseTag(tag);
  return ClassOfTag(base) == TagClass::Basic && (base & 0xFF) == 0x01;
}

// Three words: value low, value high, tag. On x86_64 a pointer spans both
// value words.
struct ValueRecord {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t tag = 0;

  bool omitted() const { return tag == kTagNothing; }

  void* pointer() const {
    uint64_t bits = low | (static_cast<uint64_t>(high) << 32);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(bits));
  }
  void setPointer(const void* p, uint32_t t) {
    uint64_t bits = reinterpret_cast<uintptr_t>(p);
    low = static_cast<uint32_t>(bits);
    high = static_cast<uint32_t>(bits >> 32);
    tag = t;
  }
  int32_t asInt() const { return static_cast<int32_t>(low); }
  int64_t asLong() const { return static_cast<int64_t>(low | (static_cast<uint64_t>(high) << 32)); }
  double asDouble() const {
    uint64_t bits = low | (static_cast<uint64_t>(high) << 32);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  float asFloat() const {
    float f;
    std::memcpy(&f, &low, sizeof f);
    return f;
  }
  void setInt(int32_t v, uint32_t t = kTagInt) {
    low = static_cast<uint32_t>(v);
    high = 0;
    tag = t;
  }
  void setLong(int64_t v, uint32_t t = kTagLong) {
    low = static_cast<uint32_t>(static_cast<uint64_t>(v));
    high = static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32);
    tag = t;
  }
  void setDouble(double d, uint32_t t = kTagDouble) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    low = static_cast<uint32_t>(bits);
    high = static_cast<uint32_t>(bits >> 32);
    tag = t;
  }
  void setFloat(float f) {
    std::memcpy(&low, &f, sizeof f);
    high = 0;
    tag = kTagFloat;
  }
  void setBool(bool b) { setInt(b ? 1 : 0, kTagBool); }
};
static_assert(sizeof(ValueRecord) == 12);

// Text value: NUL-terminated code-page-936 bytes in a heap block; null is the
// empty text.
using Text = char*;

// Byte-set value: a one-dimension byte array.
struct ByteSetHeader {
  int32_t dimensions;  // always 1
  int32_t length;
};

inline uint8_t* ByteSetData(void* block) {
  return block ? reinterpret_cast<uint8_t*>(block) + sizeof(ByteSetHeader) : nullptr;
}
inline const uint8_t* ByteSetData(const void* block) {
  return block ? reinterpret_cast<const uint8_t*>(block) + sizeof(ByteSetHeader) : nullptr;
}
inline int32_t ByteSetLength(const void* block) {
  return block ? reinterpret_cast<const ByteSetHeader*>(block)->length : 0;
}

// Array value: dimension count, one size per dimension, then the elements.
inline int32_t ArrayDimensions(const void* block) {
  return block ? *reinterpret_cast<const int32_t*>(block) : 0;
}
inline const int32_t* ArraySizes(const void* block) {
  return reinterpret_cast<const int32_t*>(block) + 1;
}
inline int64_t ArrayElementCount(const void* block) {
  if (!block) return 0;
  int64_t count = 1;
  for (int32_t d = 0; d < ArrayDimensions(block); ++d) count *= ArraySizes(block)[d];
  return count;
}
inline size_t ArrayHeaderSize(const void* block) {
  return sizeof(int32_t) * (1 + static_cast<size_t>(ArrayDimensions(block)));
}
template <typename T>
T* ArrayElements(void* block) {
  return reinterpret_cast<T*>(static_cast<uint8_t*>(block) + ArrayHeaderSize(block));
}
template <typename T>
const T* ArrayElements(const void* block) {
  return reinterpret_cast<const T*>(static_cast<const uint8_t*>(block) + ArrayHeaderSize(block));
}

// Window reference: window identifier and unit identifier.
struct UnitRef {
  uint32_t window = 0;
  uint32_t unit = 0;
};

}  // namespace rt
