// Argument reading and result building shared by the runtime's commands.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/values/value.h"

namespace rt::commands::detail {

// The record of argument i, or an omitted one when the caller passed fewer.
inline ValueRecord Arg(int count, const ValueRecord* args, int i) {
  return (args && i >= 0 && i < count) ? args[i] : ValueRecord();
}

// Truncation toward zero, defined for every double.
int64_t TruncateDouble(double d);

// A whole number from any numeric record (or an int variable by address).
int64_t IntegerOf(const ValueRecord& r);
inline int32_t IntOf(const ValueRecord& r) { return static_cast<int32_t>(IntegerOf(r)); }
inline bool BoolOf(const ValueRecord& r) { return IntegerOf(r) != 0; }

// Text and byte-set arguments; null reads as empty.
inline const char* TextOf(const ValueRecord& r) {
  const char* p = static_cast<const char*>(r.pointer());
  return p ? p : "";
}
inline std::string_view TextViewOf(const ValueRecord& r) { return std::string_view(TextOf(r)); }
inline const uint8_t* BytesOf(const ValueRecord& r) { return rt::ByteSetData(static_cast<const void*>(r.pointer())); }
inline int32_t BytesLengthOf(const ValueRecord& r) {
  int32_t n = rt::ByteSetLength(r.pointer());
  return n < 0 ? 0 : n;
}

// A byte-set argument given as a byte set or as the address of a byte-set
// variable; any other kind is runtime error 11, never read as a byte set.
const void* ByteSetArgument(const ValueRecord& r);

// Blocks from the kernel's allocator.
void* AllocateBlock(size_t bytes);
void FreeBlock(void* block);
// Null for an empty result, as every command returns.
char* NewText(const void* bytes, size_t length);
inline char* NewText(std::string_view text) { return NewText(text.data(), text.size()); }
void* NewBytes(const void* bytes, size_t length);

// Standard containers of the commands allocate from the kernel's heap, so
// running out of memory is the runtime's allocation error with the size
// asked for, never a std::bad_alloc escaping through the dispatcher.
template <class T>
struct KernelAllocator {
  using value_type = T;
  KernelAllocator() = default;
  template <class U>
  KernelAllocator(const KernelAllocator<U>&) {}
  T* allocate(size_t n) {
    size_t bytes = n > SIZE_MAX / sizeof(T) ? SIZE_MAX : n * sizeof(T);
    return static_cast<T*>(AllocateBlock(bytes));
  }
  void deallocate(T* p, size_t) { FreeBlock(p); }
  friend bool operator==(const KernelAllocator&, const KernelAllocator&) { return true; }
};
using String = std::basic_string<char, std::char_traits<char>, KernelAllocator<char>>;
template <class T>
using Vector = std::vector<T, KernelAllocator<T>>;

inline void SetText(ValueRecord* result, char* text) { result->setPointer(text, kTagText); }
inline void SetBytes(ValueRecord* result, void* bytes) { result->setPointer(bytes, kTagByteSet); }

// Width in bytes of a basic value of the tag, 0 for kinds without one.
size_t BasicWidth(uint32_t tag);
// Width of one element of a numeric array, 0 when the tag is not numeric.
size_t NumericWidth(uint32_t tag);

}  // namespace rt::commands::detail
