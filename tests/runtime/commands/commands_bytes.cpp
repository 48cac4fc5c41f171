#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/interface/command_calls.h"
#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/support/test_support.h"

namespace {

// The elements of a one-dimension array made by rt::NewArray.
template <typename T>
T* Elements(void* array) {
  return reinterpret_cast<T*>(static_cast<int32_t*>(array) + 2);
}

using rt::program::Free;
namespace test = korvalin::test;

void* BytesOf(const std::vector<uint8_t>& bytes) {
  return rt::NewByteSet(bytes.data(), static_cast<int32_t>(bytes.size()));
}

template <typename T>
void Append(std::vector<uint8_t>& out, T value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

TEST(ByteSetCommands, ZeroByteSetAndLength) {
  void* zeros = rt::cmd::ZeroByteSet(5);
  ASSERT_NE(zeros, nullptr);
  EXPECT_EQ(rt::ArrayDimensions(zeros), 1);
  EXPECT_EQ(rt::cmd::ByteSetLength(zeros), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(rt::ByteSetData(zeros)[i], 0);
  Free(zeros);
  EXPECT_EQ(rt::cmd::ZeroByteSet(0), nullptr);
  EXPECT_EQ(rt::cmd::ZeroByteSet(-3), nullptr);
  EXPECT_EQ(rt::cmd::ByteSetLength(nullptr), 0);
}

TEST(ByteSetDataCommand, ReadsARecordInSequenceAndEndsAtMinusOne) {
  std::vector<uint8_t> record;
  Append<int32_t>(record, -7);
  Append<int16_t>(record, -2);
  record.insert(record.end(), {'h', 'i', 0});
  Append<double>(record, 2.5);
  Append<uint8_t>(record, 0xFE);
  Append<int32_t>(record, 5);  // a bool word
  void* set = BytesOf(record);

  int32_t position = 1;
  EXPECT_EQ(rt::cmd::ByteSetInt(set, &position), -7);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(rt::cmd::ByteSetShort(set, &position), -2);
  EXPECT_EQ(position, 7);
  rt::Text text = rt::cmd::ByteSetText(set, &position);
  EXPECT_STREQ(text, "hi");
  Free(text);
  EXPECT_EQ(position, 10);  // past the zero byte
  EXPECT_EQ(rt::cmd::ByteSetDouble(set, &position), 2.5);
  EXPECT_EQ(rt::cmd::ByteSetByte(set, &position), 0xFE);
  rt::ValueRecord flag = rt::cmd::ByteSetData(set, rt::cmd::kReadBool, &position);
  EXPECT_EQ(flag.tag, rt::kTagBool);
  EXPECT_EQ(flag.low, 1u);
  EXPECT_EQ(position, -1);
  // Nothing is left to read at -1: numbers read as 0, texts as empty.
  EXPECT_EQ(rt::cmd::ByteSetInt(set, &position), 0);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(rt::cmd::ByteSetText(set, &position), nullptr);
  Free(set);
}

TEST(ByteSetDataCommand, EveryKindHasItsTag) {
  const uint32_t tags[] = {rt::kTagByte,   rt::kTagShort, rt::kTagInt,      rt::kTagLong,
                           rt::kTagFloat,  rt::kTagDouble, rt::kTagBool,    rt::kTagDateTime,
                           rt::kTagSubroutine, rt::kTagText};
  void* set = BytesOf({'A', 'B', 'C', 'D', 0, 0, 0, 0});
  for (int32_t kind = 1; kind <= 10; ++kind) {
    rt::ValueRecord r = rt::cmd::ByteSetData(set, kind);
    EXPECT_EQ(r.tag, tags[kind - 1]) << "kind " << kind;
    if (kind == 10) {
      EXPECT_STREQ(static_cast<char*>(r.pointer()), "ABCD");
      Free(r.pointer());
    }
  }
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadLong).asLong(), 0x44434241);
  Free(set);
}

TEST(ByteSetDataCommand, PositionsAndShortData) {
  void* set = BytesOf({0x01, 0x02, 0x03});
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadShort, 2).asInt(), 0x0302);
  // Missing bytes read as 0.
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadInt, 2).asInt(), 0x0302);
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadInt, 0).asInt(), 0);
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadInt, 9).asInt(), 0);
  int32_t position = 3;
  EXPECT_EQ(rt::cmd::ByteSetByte(set, &position), 3);
  EXPECT_EQ(position, -1);
  position = 2;
  rt::Text rest = rt::cmd::ByteSetText(set, &position);  // no zero byte: all that remains
  EXPECT_STREQ(rest, "\x02\x03");
  Free(rest);
  EXPECT_EQ(position, -1);
  Free(set);

  std::vector<uint8_t> dates;
  Append<double>(dates, 1e9);
  Append<double>(dates, -1e9);
  set = BytesOf(dates);
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadDateTime).asDouble(), 2958465.0);
  EXPECT_EQ(rt::cmd::ByteSetData(set, rt::cmd::kReadDateTime, 9).asDouble(), -657434.0);
  Free(set);
  EXPECT_EQ(rt::cmd::ByteSetInt(nullptr), 0);
}

KORVALIN_SCENARIO(byte_set_data_invalid_kind) {
  test::StartRuntime(test::PlainTestImage());
  void* set = rt::cmd::ZeroByteSet(4);
  rt::cmd::ByteSetData(set, 11);
  return 3;  // not reached
}

TEST(ByteSetDataCommand, InvalidKindIsARuntimeError) {
  test::ChildError error = test::AwaitChildError(test::StartChild("byte_set_data_invalid_kind"));
  EXPECT_TRUE(error.shown);
  EXPECT_NE(error.text.find("“欲取出数据的类型”参数值无效"), std::string::npos) << error.text;
  EXPECT_EQ(error.text.find("错误代码"), std::string::npos) << error.text;
  EXPECT_TRUE(test::IsExitMinusOne(error.exitCode)) << error.exitCode;
}

TEST(MemoryCommands, PointerToByteSetCopies) {
  char buffer[] = "abc\0def";
  void* copy = rt::cmd::PointerToByteSet(buffer, 7);
  ASSERT_EQ(rt::ByteSetLength(copy), 7);
  EXPECT_EQ(std::memcmp(rt::ByteSetData(copy), buffer, 7), 0);
  buffer[0] = 'x';
  EXPECT_EQ(rt::ByteSetData(copy)[0], 'a');
  Free(copy);
  EXPECT_EQ(rt::cmd::PointerToByteSet(buffer, 0), nullptr);
}

TEST(MemoryCommands, WriteMemoryCopiesEachKindsBytes) {
  char target[16];
  auto reset = [&] { std::memset(target, '.', sizeof target); };

  reset();
  rt::cmd::WriteMemory(rt::program::TextArg("ab"), target);
  EXPECT_EQ(std::string(target, 4), std::string("ab\0.", 4));
  reset();
  rt::cmd::WriteMemory(rt::program::TextArg("ab"), target, 1);
  EXPECT_EQ(std::string(target, 3), "a..");
  reset();
  rt::cmd::WriteMemory(rt::program::TextArg("ab"), target, 40);  // beyond the bytes: all of them
  EXPECT_EQ(std::string(target, 4), std::string("ab\0.", 4));
  reset();
  rt::cmd::WriteMemory(rt::program::IntArg(0x44434241), target);
  EXPECT_EQ(std::string(target, 5), "ABCD.");
  reset();
  rt::cmd::WriteMemory(rt::program::DoubleArg(1.0), target, 0);
  EXPECT_EQ(std::string(target, 2), "..");

  void* set = rt::NewByteSet("xyz", 3);
  reset();
  rt::cmd::WriteMemory(rt::program::ByteSetArg(set), target);
  EXPECT_EQ(std::string(target, 4), "xyz.");
  Free(set);

  void* bytes = rt::NewArray(2, 1);
  Elements<uint8_t>(bytes)[0] = 'p';
  Elements<uint8_t>(bytes)[1] = 'q';
  reset();
  rt::cmd::WriteMemory(rt::program::ByRefArg(bytes, rt::kTagByte), target);
  EXPECT_EQ(std::string(target, 3), "pq.");
  Free(bytes);
  void* ints = rt::NewArray(1, 4);
  reset();
  rt::cmd::WriteMemory(rt::program::ByRefArg(ints, rt::kTagInt), target);  // not a byte array
  EXPECT_EQ(std::string(target, 2), "..");
  rt::cmd::WriteMemory(rt::program::UnitArg({1, 2}), target);
  EXPECT_EQ(std::string(target, 2), "..");
  Free(ints);
}

}  // namespace
