#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/interface/command_calls.h"
#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace {

// The elements of a one-dimension array made by rt::NewArray.
template <typename T>
T* Elements(void* array) {
  return reinterpret_cast<T*>(static_cast<int32_t*>(array) + 2);
}

using rt::program::Free;

std::string Take(rt::Text text) {
  std::string s = text ? text : "";
  Free(text);
  return s;
}

std::string TakeBytes(void* byteSet) {
  std::string s(reinterpret_cast<const char*>(rt::ByteSetData(byteSet)), rt::ByteSetLength(byteSet));
  Free(byteSet);
  return s;
}

rt::ValueRecord Record(uint32_t tag, uint64_t bits) {
  rt::ValueRecord r;
  r.low = static_cast<uint32_t>(bits);
  r.high = static_cast<uint32_t>(bits >> 32);
  r.tag = tag;
  return r;
}

rt::ValueRecord FloatRecord(float f) {
  rt::ValueRecord r;
  r.setFloat(f);
  return r;
}

void Routine() {}

TEST(ToTextCommand, Numbers) {
  EXPECT_EQ(Take(rt::cmd::ToText(0.1)), "0.1");
  EXPECT_EQ(Take(rt::cmd::ToText(1234567.0)), "1234567");
  EXPECT_EQ(Take(rt::cmd::ToText(1e20)), "1e+020");
  EXPECT_EQ(Take(rt::cmd::ToText(1.5e-7)), "1.5e-007");
  EXPECT_EQ(Take(rt::cmd::ToText(1e300)), "1e+300");
  EXPECT_EQ(Take(rt::cmd::ToText(1.0 / 3.0)), "0.3333333333333");
  EXPECT_EQ(Take(rt::cmd::ToText(FloatRecord(0.1f))), "0.1");
  EXPECT_EQ(Take(rt::cmd::ToText(FloatRecord(3e10f))), "3e+010");
  EXPECT_EQ(Take(rt::cmd::ToText(-5)), "-5");
  EXPECT_EQ(Take(rt::cmd::ToText(Record(rt::kTagByte, 200))), "200");
  EXPECT_EQ(Take(rt::cmd::ToText(Record(rt::kTagShort, 0xFFFF))), "-1");
  EXPECT_EQ(Take(rt::cmd::ToText(Record(rt::kTagLong, 1ull << 40))), "1099511627776");
  EXPECT_EQ(Take(rt::cmd::ToText(Record(rt::kTagLong, ~0ull))), "-1");
}

TEST(ToTextCommand, BooleansTextsAndBytes) {
  EXPECT_EQ(Take(rt::cmd::ToText(true)), "真");
  EXPECT_EQ(Take(rt::cmd::ToText(false)), "假");
  EXPECT_EQ(Take(rt::cmd::ToText(Record(rt::kTagBool, 7))), "真");
  EXPECT_EQ(Take(rt::cmd::ToText("桌面")), "桌面");
  EXPECT_EQ(rt::cmd::ToText(""), nullptr);
  void* bytes = rt::NewByteSet("ab\0cd", 5);
  EXPECT_EQ(Take(rt::cmd::ToText(rt::program::ByteSetArg(bytes))), "ab");
  Free(bytes);
  bytes = rt::NewByteSet("xyz", 3);
  EXPECT_EQ(Take(rt::cmd::ToText(rt::program::ByteSetArg(bytes))), "xyz");
  Free(bytes);
}

TEST(ToTextCommand, ArraysAndOtherKinds) {
  void* ints = rt::NewArray(2, sizeof(int32_t));
  Elements<int32_t>(ints)[0] = 0x64636261;  // "abcd"
  Elements<int32_t>(ints)[1] = 0x00006665;  // "ef", then zeros
  EXPECT_EQ(Take(rt::cmd::ToText(rt::program::ByRefArg(ints, rt::kTagInt))), "abcdef");
  void* texts = rt::NewArray(1, sizeof(char*));
  EXPECT_EQ(rt::cmd::ToText(rt::program::ByRefArg(texts, rt::kTagText)), nullptr);
  EXPECT_EQ(rt::cmd::ToText(Record(rt::kTagDateTime, 0)), nullptr);
  EXPECT_EQ(rt::cmd::ToText(rt::program::UnitArg({1, 2})), nullptr);
  Free(ints);
  Free(texts);
}

TEST(ToIntCommand, TextsReadAsAtoiAfterFullWidthFolding) {
  EXPECT_EQ(rt::cmd::ToInt("０１２"), 12);
  EXPECT_EQ(rt::cmd::ToInt("　-３4"), -34);  // ideographic space, full-width 3
  EXPECT_EQ(rt::cmd::ToInt("＋７"), 7);
  EXPECT_EQ(rt::cmd::ToInt("－１２"), -12);
  EXPECT_EQ(rt::cmd::ToInt(" \t 12abc"), 12);
  EXPECT_EQ(rt::cmd::ToInt("１２桌3"), 12);
  EXPECT_EQ(rt::cmd::ToInt("abc"), 0);
  EXPECT_EQ(rt::cmd::ToInt(""), 0);
  EXPECT_EQ(rt::cmd::ToInt("2147483647"), INT32_MAX);
  EXPECT_EQ(rt::cmd::ToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(rt::cmd::ToInt("99999999999999999999"), INT32_MAX);
}

TEST(ToIntCommand, NumbersAndRoutines) {
  EXPECT_EQ(rt::cmd::ToInt(rt::program::DoubleArg(2.9)), 2);
  EXPECT_EQ(rt::cmd::ToInt(rt::program::DoubleArg(-1.7)), -1);
  EXPECT_EQ(rt::cmd::ToInt(FloatRecord(-3.9f)), -3);
  EXPECT_EQ(rt::cmd::ToInt(rt::program::BoolArg(true)), 1);
  EXPECT_EQ(rt::cmd::ToInt(Record(rt::kTagBool, 42)), 1);
  EXPECT_EQ(rt::cmd::ToInt(Record(rt::kTagByte, 0x1FF)), 0xFF);
  EXPECT_EQ(rt::cmd::ToInt(Record(rt::kTagShort, 0x8000)), -32768);
  EXPECT_EQ(rt::cmd::ToInt(Record(rt::kTagLong, 0x100000005ull)), 5);
  EXPECT_EQ(rt::cmd::ToInt(rt::program::UnitArg({1, 2})), 0);
  EXPECT_EQ(rt::cmd::RoutineAddress(&Routine), reinterpret_cast<intptr_t>(&Routine));
  int32_t variable = 77;
  EXPECT_EQ(rt::cmd::ToInt(rt::program::ByRefArg(&variable, rt::kTagInt)), 77);
}

TEST(ToByteCommand, KeepsTheLowEightBits) {
  EXPECT_EQ(rt::cmd::ToByte(rt::program::IntArg(300)), 44);
  EXPECT_EQ(rt::cmd::ToByte("２５６"), 0);
  EXPECT_EQ(rt::cmd::ToByte("２５５"), 255);
  EXPECT_EQ(rt::cmd::ToByte(rt::program::BoolArg(true)), 1);
  EXPECT_EQ(rt::cmd::ToByte(rt::program::DoubleArg(-1.5)), 0xFF);
}

TEST(ToByteSetCommand, BytesOfEachKind) {
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet("abc")), "abc");
  EXPECT_EQ(rt::cmd::ToByteSet(""), nullptr);
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(rt::program::IntArg(0x04030201))), std::string("\x01\x02\x03\x04", 4));
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(Record(rt::kTagShort, 0x1234))), std::string("\x34\x12", 2));
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(Record(rt::kTagByte, 0x7F))), std::string("\x7F", 1));
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(rt::program::BoolArg(true))), std::string("\x01\0\0\0", 4));
  double d = 2.5;
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(rt::program::DoubleArg(d))), std::string(reinterpret_cast<char*>(&d), 8));
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(Record(rt::kTagDateTime, 0))).size(), 8u);
  EXPECT_EQ(rt::cmd::ToByteSet(rt::program::UnitArg({1, 2})), nullptr);
}

TEST(ToByteSetCommand, ByteSetsAndArrays) {
  void* source = rt::NewByteSet("a\0b", 3);
  void* copy = rt::cmd::ToByteSet(rt::program::ByteSetArg(source));
  EXPECT_NE(copy, source);
  EXPECT_EQ(TakeBytes(copy), std::string("a\0b", 3));
  Free(source);

  void* shorts = rt::NewArray(2, sizeof(int16_t));
  Elements<int16_t>(shorts)[0] = 0x0201;
  Elements<int16_t>(shorts)[1] = 0x0403;
  EXPECT_EQ(TakeBytes(rt::cmd::ToByteSet(rt::program::ByRefArg(shorts, rt::kTagShort))),
            std::string("\x01\x02\x03\x04", 4));
  Free(shorts);
  void* texts = rt::NewArray(2, sizeof(char*));
  EXPECT_EQ(rt::cmd::ToByteSet(rt::program::ByRefArg(texts, rt::kTagText)), nullptr);
  Free(texts);
  EXPECT_EQ(rt::cmd::ToByteSet(rt::program::ByRefArg(nullptr, rt::kTagInt)), nullptr);
}

}  // namespace
