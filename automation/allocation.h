// Standard containers for the bridge whose allocation failure becomes the
// runtime's out-of-memory error: a std::bad_alloc must never unwind through
// the command dispatcher and the program's frames above it.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "runtime/values/heap.h"

namespace rt::automation {

template <typename T>
struct BridgeAllocator {
  using value_type = T;

  BridgeAllocator() = default;
  template <typename U>
  BridgeAllocator(const BridgeAllocator<U>&) noexcept {}

  T* allocate(size_t count) {
    constexpr size_t kMost = std::numeric_limits<size_t>::max();
    if (count > kMost / sizeof(T)) ReportAllocationFailure(kMost);
    const size_t bytes = count * sizeof(T);
    try {
      return static_cast<T*>(::operator new(bytes));
    } catch (const std::bad_alloc&) {
      ReportAllocationFailure(bytes);
    }
  }
  void deallocate(T* block, size_t) noexcept { ::operator delete(block); }

  template <typename U>
  bool operator==(const BridgeAllocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using BridgeVector = std::vector<T, BridgeAllocator<T>>;
using WideText = std::basic_string<wchar_t, std::char_traits<wchar_t>, BridgeAllocator<wchar_t>>;

}  // namespace rt::automation
