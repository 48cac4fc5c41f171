// The dispatcher and the inline checks around kernel calls.
#include <gtest/gtest.h>

#include <string>

#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

// Echoes how it was called: the count in the low word, the tags of its
// arguments summed in the high word.
void EchoCommand(rt::ValueRecord* result, int count, const rt::ValueRecord* args) {
  uint32_t tags = 0;
  for (int i = 0; i < count; ++i) tags += args[i].tag == 0 ? 1000 : 1;
  result->low = static_cast<uint32_t>(count);
  result->high = tags;
  result->tag = rt::kTagInt;
}

void SilentCommand(rt::ValueRecord*, int, const rt::ValueRecord*) {}

TEST(Dispatch, HandsOverCountArgumentsAndResultWords) {
  rt::ValueRecord r = rt::program::DispatchCommand(
      EchoCommand, {rt::program::IntArg(1), rt::program::Omitted(), rt::program::TextArg(nullptr)});
  EXPECT_EQ(r.low, 3u);
  EXPECT_EQ(r.high, 1002u);  // the left-out argument arrives with tag 0
  EXPECT_EQ(r.tag, rt::kTagInt);
}

TEST(Dispatch, ACommandThatReturnsNothingLeavesZeros) {
  rt::ValueRecord r = rt::program::DispatchCommand(SilentCommand, {});
  EXPECT_EQ(r.low, 0u);
  EXPECT_EQ(r.high, 0u);
  EXPECT_EQ(r.tag, 0u);
}

TEST(Dispatch, NullTextAndByteSetArgumentsArePassedAsConstants) {
  rt::ValueRecord text = rt::program::TextArg(nullptr);
  ASSERT_NE(text.pointer(), nullptr);
  EXPECT_EQ(*static_cast<const char*>(text.pointer()), '\0');
  rt::ValueRecord bytes = rt::program::ByteSetArg(nullptr);
  EXPECT_EQ(rt::ByteSetLength(bytes.pointer()), 0);
}

TEST(Checks, SubscriptWithinTheArrayIsZeroBased) {
  void* array = rt::NewArray(3, sizeof(int32_t));
  EXPECT_EQ(rt::CheckSubscript(array, 1), 0);
  EXPECT_EQ(rt::CheckSubscript(array, 3), 2);
  rt::program::Free(array);
}

// Each check ends the process with its runtime error.
KORVALIN_SCENARIO(subscript) {
  StartRuntime(PlainTestImage());
  void* array = argc > 3 && std::string(argv[3]) == "null" ? nullptr : rt::NewArray(3, sizeof(int32_t));
  rt::CheckSubscript(array, std::stoi(argv[2]));
  return 0;
}

// A result of the wrong kind: a text where an int was expected.
KORVALIN_SCENARIO(tag_check) {
  StartRuntime(PlainTestImage());
  rt::CheckTag(rt::kTagInt, rt::kTagInt);
  rt::CheckTag(rt::kTagText, rt::kTagInt);
  return 0;
}

// A value that must be numeric is a boolean.
KORVALIN_SCENARIO(numeric_check) {
  StartRuntime(PlainTestImage());
  for (uint32_t tag : {rt::kTagByte, rt::kTagShort, rt::kTagInt, rt::kTagLong, rt::kTagFloat, rt::kTagDouble})
    rt::CheckNumeric(tag);
  rt::CheckNumeric(rt::kTagBool);
  return 0;
}

KORVALIN_SCENARIO(selector) {
  StartRuntime(PlainTestImage());
  rt::CheckSelector(std::stoi(argv[2]), 3);
  return 0;
}

std::string ErrorOf(const std::string& scenario, const std::string& arguments) {
  HANDLE child = StartChild(scenario, arguments);
  if (!child) return "child not started";
  ChildError error = AwaitChildError(child);
  if (!error.shown) return "no box, exit " + std::to_string(error.exitCode);
  return IsExitMinusOne(error.exitCode) ? error.text : "exit " + std::to_string(error.exitCode);
}

TEST(Checks, SubscriptZeroIsErrorFour) {
  EXPECT_NE(ErrorOf("subscript", "0").find("错误代码：4"), std::string::npos);
}

TEST(Checks, SubscriptPastTheEndAndIntoNullAreErrorOne) {
  EXPECT_NE(ErrorOf("subscript", "4").find("错误代码：1"), std::string::npos);
  EXPECT_NE(ErrorOf("subscript", "1 null").find("错误代码：1"), std::string::npos);
}

TEST(Checks, WrongResultKindIsErrorFive) {
  EXPECT_EQ(ErrorOf("tag_check", ""), "运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n");
}

TEST(Checks, NonNumericValueIsErrorTwo) {
  EXPECT_EQ(ErrorOf("numeric_check", ""),
            "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：未得到所需要的数值型数据\r\n");
}

TEST(Checks, SelectorOutOfRangeIsErrorNine) {
  EXPECT_EQ(RunChild("selector", "2"), 0u);
  EXPECT_NE(ErrorOf("selector", "3").find("错误代码：9"), std::string::npos);
}

}  // namespace
}  // namespace korvalin::test
