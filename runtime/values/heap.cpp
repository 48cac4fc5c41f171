#include "runtime/values/heap.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "runtime/kernel/runtime_error.h"
#include "runtime/values/value.h"

namespace rt {
namespace {

uintptr_t regionStart = 0;
uintptr_t regionEnd = 0;
// Blocks handed out and not yet freed; read by leak checks.
volatile LONG liveBlocks = 0;

HANDLE Heap() {
  static HANDLE heap = GetProcessHeap();
  return heap;
}

}  // namespace

void ReportAllocationFailure(size_t bytes) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %llu 字节内存失败!", static_cast<unsigned long long>(bytes));
  ReportRuntimeError(message, 0);
}

void RegisterStaticRegion(const void* start, size_t size) {
  regionStart = reinterpret_cast<uintptr_t>(start);
  regionEnd = regionStart + size;
}

bool InStaticRegion(const void* p) {
  uintptr_t a = reinterpret_cast<uintptr_t>(p);
  return a >= regionStart && a < regionEnd;
}

void* Allocate(size_t bytes) {
  void* block = HeapAlloc(Heap(), 0, bytes);
  if (!block) ReportAllocationFailure(bytes);
  InterlockedIncrement(&liveBlocks);
  return block;
}

void* Reallocate(void* block, size_t bytes) {
  if (!block) return Allocate(bytes);
  if (InStaticRegion(block)) {
    // Copy no further than the region's end: the constant may be shorter.
    void* fresh = Allocate(bytes);
    size_t available = regionEnd - reinterpret_cast<uintptr_t>(block);
    std::memcpy(fresh, block, bytes < available ? bytes : available);
    return fresh;
  }
  void* grown = HeapReAlloc(Heap(), 0, block, bytes);
  if (!grown) ReportAllocationFailure(bytes);
  return grown;
}

void Free(void* block) {
  if (!block || InStaticRegion(block)) return;
  if (HeapFree(Heap(), 0, block)) InterlockedDecrement(&liveBlocks);
}

long LiveBlockCount() { return liveBlocks; }

void MakeArrayWritable(size_t elementSize, void** arrayVariable) {
  void* block = *arrayVariable;
  if (!block || !InStaticRegion(block)) return;
  size_t size = ArrayHeaderSize(block) + elementSize * static_cast<size_t>(ArrayElementCount(block));
  void* copy = Allocate(size);
  std::memcpy(copy, block, size);
  *arrayVariable = copy;
}

}  // namespace rt
