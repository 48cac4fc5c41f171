// The runtime heap (the process heap) and the static constant region that
// lives beside it: pointers into the region are never freed.
#pragma once

#include <cstddef>

namespace rt {

void* Allocate(size_t bytes);
void* Reallocate(void* block, size_t bytes);
void Free(void* block);

// Blocks allocated through this heap and not yet freed.
long LiveBlockCount();

// The out-of-memory runtime error for a request of `bytes`; does not return.
[[noreturn]] void ReportAllocationFailure(size_t bytes);

void RegisterStaticRegion(const void* start, size_t size);
bool InStaticRegion(const void* p);

// Copies an array variable's block out of the static region before it is
// changed; elementSize is the width of one element.
void MakeArrayWritable(size_t elementSize, void** arrayVariable);

}  // namespace rt
