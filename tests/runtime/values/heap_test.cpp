#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "runtime/values/heap.h"
#include "runtime/interface/program_calls.h"
#include "runtime/interface/startup.h"
#include "runtime/values/value_helpers.h"

namespace {

using rt::program::Constants;

TEST(Heap, FreeIgnoresNullAndConstants) {
  rt::program::Free(nullptr);
  rt::program::Free(const_cast<char*>(Constants().emptyText));
  rt::program::Free(const_cast<rt::ByteSetHeader*>(&Constants().emptyByteSet));
  EXPECT_EQ(Constants().emptyByteSet.dimensions, 1);
  EXPECT_EQ(Constants().emptyByteSet.length, 0);
}

// Makes a heap block of the test's own the static region for one test, then
// puts the program's constant block back.
class BorrowedStaticRegion {
 public:
  explicit BorrowedStaticRegion(const void* bytes, size_t size)
      : block_(HeapAlloc(GetProcessHeap(), 0, size)), size_(size) {
    std::memcpy(block_, bytes, size);
    rt::RegisterStaticRegion(block_, size_);
  }
  ~BorrowedStaticRegion() {
    const rt::ProgramImageHeader* image = rt::CurrentProgramImage();
    rt::RegisterStaticRegion(image->constantBlock, image->constantBlockSize);
    HeapFree(GetProcessHeap(), 0, block_);
  }
  void* block() const { return block_; }

 private:
  void* block_;
  size_t size_;
};

TEST(Heap, FreeOfAStaticRegionBlockLeavesItAllocated) {
  const char bytes[] = "constant text";
  BorrowedStaticRegion region(bytes, sizeof bytes);
  rt::program::Free(region.block());
  rt::program::Free(static_cast<char*>(region.block()) + 4);
  // Still a live block of the heap, its bytes untouched.
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, region.block()));
  EXPECT_EQ(std::memcmp(region.block(), bytes, sizeof bytes), 0);
}

TEST(Heap, MakeArrayWritableCopiesHeaderAndElements) {
  const int32_t constant[] = {2, 2, 3, 11, 12, 13, 21, 22, 23};  // two dimensions, 2 x 3 ints
  BorrowedStaticRegion region(constant, sizeof constant);
  void* variable = region.block();
  rt::program::MakeArrayWritable(sizeof(int32_t), &variable);
  ASSERT_NE(variable, region.block());
  EXPECT_FALSE(rt::InStaticRegion(variable));
  EXPECT_EQ(std::memcmp(variable, constant, sizeof constant), 0);
  static_cast<int32_t*>(variable)[8] = 99;  // now the program's own to change
  EXPECT_EQ(static_cast<const int32_t*>(region.block())[8], 23);
  rt::program::Free(variable);
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
  EXPECT_EQ(rt::FloatToInteger(9007199254740993.0), 9007199254740992);
}

// Without an integer to give, the answer is INT64_MIN; the compiler proves
// these conversions defined, at run time the same values are checked.
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
static_assert(rt::FloatToInteger(kNaN) == INT64_MIN);
static_assert(rt::FloatToInteger(kInfinity) == INT64_MIN);
static_assert(rt::FloatToInteger(-kInfinity) == INT64_MIN);
static_assert(rt::FloatToInteger(9223372036854775808.0) == INT64_MIN);
static_assert(rt::FloatToInteger(-9223372036854777856.0) == INT64_MIN);
static_assert(rt::FloatToInteger(9223372036854774784.0) == 9223372036854774784);

TEST(ValueHelpers, FloatToIntegerWithoutAnIntegerIsInt64Min) {
  volatile double values[] = {kNaN, kInfinity, -kInfinity, 1e19, -1e19, 1e300};
  for (double v : values) EXPECT_EQ(rt::FloatToInteger(v), INT64_MIN) << v;
  volatile double edge = -9223372036854775808.0;
  EXPECT_EQ(rt::FloatToInteger(edge), INT64_MIN);
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
