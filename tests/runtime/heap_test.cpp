#include <gtest/gtest.h>

#include <cstring>

#include "runtime/heap.h"
#include "runtime/program_calls.h"
#include "runtime/value_helpers.h"

namespace {

using rt::program::Constants;

TEST(Heap, FreeIgnoresNullAndConstants) {
  rt::program::Free(nullptr);
  rt::program::Free(const_cast<char*>(Constants().emptyText));
  rt::program::Free(const_cast<rt::ByteSetHeader*>(&Constants().emptyByteSet));
  EXPECT_EQ(Constants().emptyByteSet.dimensions, 1);
  EXPECT_EQ(Constants().emptyByteSet.length, 0);
}

TEST(Heap, ReallocateOfConstantCopiesOnlyUpToRegionEnd) {
  // The last bytes of the constant block: growing them must not read past it.
  const auto* start = reinterpret_cast<const unsigned char*>(&Constants());
  const size_t size = rt::CurrentProgramImage()->constantBlockSize;
  const unsigned char* lastFour = start + size - 4;
  void* grown = rt::program::Reallocate(const_cast<unsigned char*>(lastFour), 64);
  ASSERT_NE(grown, nullptr);
  EXPECT_FALSE(rt::InStaticRegion(grown));
  EXPECT_EQ(std::memcmp(grown, lastFour, 4), 0);
  rt::program::Free(grown);
}

TEST(Heap, ReallocateGrowsHeapBlockKeepingItsBytes) {
  auto* block = static_cast<char*>(rt::program::Allocate(4));
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(rt::program::Reallocate(block, 4096));
  EXPECT_STREQ(block, "abc");
  rt::program::Free(block);
  void* fresh = rt::program::Reallocate(nullptr, 16);
  EXPECT_NE(fresh, nullptr);
  rt::program::Free(fresh);
}

// Leak checks read this count: every path that hands out or takes back a
// block must move it, and nothing else may.
TEST(Heap, LiveBlockCountFollowsEveryPath) {
  const long start = rt::LiveBlockCount();
  void* a = rt::program::Allocate(8);
  EXPECT_EQ(rt::LiveBlockCount(), start + 1);
  a = rt::program::Reallocate(a, 8192);  // grown in place or moved: still one block
  EXPECT_EQ(rt::LiveBlockCount(), start + 1);
  void* b = rt::program::Reallocate(nullptr, 4);
  EXPECT_EQ(rt::LiveBlockCount(), start + 2);
  const auto* constant = reinterpret_cast<const unsigned char*>(&Constants());
  void* c = rt::program::Reallocate(const_cast<unsigned char*>(constant), 16);  // a copy out of the region
  EXPECT_EQ(rt::LiveBlockCount(), start + 3);
  rt::program::Free(nullptr);
  rt::program::Free(const_cast<char*>(Constants().emptyText));
  EXPECT_EQ(rt::LiveBlockCount(), start + 3);
  rt::program::Free(c);
  rt::program::Free(b);
  rt::program::Free(a);
  EXPECT_EQ(rt::LiveBlockCount(), start);
}

TEST(Heap, MakeArrayWritableCopiesOnlyConstants) {
  // A constant array of two ints placed in the region's empty byte set slot
  // would be too small, so use the empty byte set itself: a 1-dimension array of 0.
  void* variable = const_cast<rt::ByteSetHeader*>(&Constants().emptyByteSet);
  rt::program::MakeArrayWritable(1, &variable);
  ASSERT_NE(variable, &Constants().emptyByteSet);
  EXPECT_EQ(rt::ArrayDimensions(variable), 1);
  EXPECT_EQ(rt::ArrayElementCount(variable), 0);
  void* heapArray = variable;
  rt::program::MakeArrayWritable(1, &variable);
  EXPECT_EQ(variable, heapArray);
  rt::program::Free(variable);
}

TEST(ValueHelpers, ConcatenationOfEmptyPiecesIsOneByteBlock) {
  char* joined = rt::ConcatTexts({nullptr, "", nullptr});
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined[0], '\0');
  EXPECT_EQ(rt::TextLength(joined), 0);
  rt::program::Free(joined);
  char* text = rt::ConcatTexts({"桌", nullptr, "面"});
  EXPECT_STREQ(text, "桌面");
  rt::program::Free(text);
}

TEST(ValueHelpers, FloatToIntegerTruncatesTowardZero) {
  EXPECT_EQ(rt::FloatToInteger(2.9), 2);
  EXPECT_EQ(rt::FloatToInteger(-1.7), -1);
  EXPECT_EQ(rt::FloatToInteger(-0.2), 0);
}

TEST(Values, TagClassesAndNumericTags) {
  EXPECT_EQ(rt::ClassOfTag(0), rt::TagClass::None);
  EXPECT_EQ(rt::ClassOfTag(rt::kTagText), rt::TagClass::Basic);
  EXPECT_EQ(rt::ClassOfTag(rt::kTagInt | rt::kTagByRef), rt::TagClass::Basic);
  EXPECT_EQ(rt::ClassOfTag(0x40000001), rt::TagClass::Second);
  EXPECT_EQ(rt::ClassOfTag(rt::kTagComObject), rt::TagClass::Library);
  EXPECT_TRUE(rt::IsNumericTag(rt::kTagDouble));
  EXPECT_TRUE(rt::IsNumericTag(rt::kTagByte | rt::kTagByRef));
  EXPECT_FALSE(rt::IsNumericTag(rt::kTagBool));
  EXPECT_FALSE(rt::IsNumericTag(rt::kTagText));
}

TEST(Values, PointerUsesBothWordsOnWideBuilds) {
  rt::ValueRecord r;
  int target = 0;
  r.setPointer(&target, rt::kTagText);
  EXPECT_EQ(r.pointer(), &target);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(r.high, 0u);
  }
}

}  // namespace
