#include <gtest/gtest.h>

#include <string>

#include "runtime/interface/command_calls.h"
#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"

namespace {

using rt::program::Free;

// Takes ownership of a returned text and gives back its bytes.
std::string Take(rt::Text text) {
  std::string s = text ? text : "";
  Free(text);
  return s;
}

TEST(BitCommands, AndOrCombineEveryArgument) {
  EXPECT_EQ(rt::cmd::BitAnd(0x12345678), 0x12345678);
  EXPECT_EQ(rt::cmd::BitAnd(0xFF0F, 0x0FFF, 0x00F3), 0x0003);
  EXPECT_EQ(rt::cmd::BitOr(1, 2, 0x40000000), 0x40000003);
  EXPECT_EQ(rt::cmd::BitOr(-1, 0), -1);
}

TEST(BitCommands, ShiftsUseTheLowFiveBitsOfTheCount) {
  EXPECT_EQ(rt::cmd::ShiftRight(-16, 2), -4);
  EXPECT_EQ(rt::cmd::ShiftRight(-16, 33), -8);
  EXPECT_EQ(rt::cmd::ShiftRight(0x40000000, 30), 1);
  EXPECT_EQ(rt::cmd::ShiftLeft(1, 31), INT32_MIN);
  EXPECT_EQ(rt::cmd::ShiftLeft(3, 32), 3);
  EXPECT_EQ(rt::cmd::ShiftLeft(3, 33), 6);
}

TEST(BitCommands, MakeIntTakesLowHalfAndHighFromBit16) {
  EXPECT_EQ(rt::cmd::MakeInt(0x12345, 1), 0x12345);
  EXPECT_EQ(rt::cmd::MakeInt(-9, 0), 0xFFF7);
  EXPECT_EQ(static_cast<uint32_t>(rt::cmd::MakeInt(1, -1)), 0xFFFF0001u);
}

TEST(TextCommands, LengthsAndCutsCountBytes) {
  EXPECT_EQ(rt::cmd::TextLength("桌面"), 4);
  EXPECT_EQ(rt::cmd::TextLength(nullptr), 0);
  EXPECT_EQ(Take(rt::cmd::LeftText("桌面", 1)), "\xD7");
  EXPECT_EQ(Take(rt::cmd::RightText("桌面", 3)), "\xC0\xC3\xE6");
  EXPECT_EQ(Take(rt::cmd::LeftText("abc", 10)), "abc");
  EXPECT_EQ(Take(rt::cmd::RightText("abc", 10)), "abc");
  EXPECT_EQ(rt::cmd::LeftText("abc", 0), nullptr);
  EXPECT_EQ(rt::cmd::RightText("abc", -1), nullptr);
  EXPECT_EQ(rt::cmd::SpaceText(0), nullptr);
  EXPECT_EQ(Take(rt::cmd::SpaceText(3)), "   ");
}

TEST(TextCommands, ResultsAreNewBlocks) {
  const char* source = "abc";
  rt::Text copy = rt::cmd::LeftText(source, 3);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source);
  copy[0] = 'x';
  EXPECT_STREQ(source, "abc");
  Free(copy);
}

TEST(TextCommands, CharacterCodes) {
  EXPECT_EQ(Take(rt::cmd::CharFromCode('A')), "A");
  EXPECT_EQ(Take(rt::cmd::CharFromCode(0xD7)), "\xD7");
  EXPECT_EQ(rt::cmd::CharFromCode(0), nullptr);
  EXPECT_EQ(rt::cmd::CharCode("桌"), -41);  // 0xD7 read as signed
  EXPECT_LT(rt::cmd::CharCode("桌", 2), 0);
  EXPECT_EQ(rt::cmd::CharCode("ab", 2), 'b');
  EXPECT_EQ(rt::cmd::CharCode("ab", 0), 0);
  EXPECT_EQ(rt::cmd::CharCode("ab", 3), 0);
  EXPECT_EQ(rt::cmd::CharCode("", 1), 0);
}

TEST(FindTextCommand, PositionsAndStart) {
  EXPECT_EQ(rt::cmd::FindText("abcabc", "abc"), 1);
  EXPECT_EQ(rt::cmd::FindText("abcabc", "abc", 2), 4);
  EXPECT_EQ(rt::cmd::FindText("abcabc", "abc", 7), -1);
  EXPECT_EQ(rt::cmd::FindText("abcabc", "abc", -5), 1);
  EXPECT_EQ(rt::cmd::FindText("abcab", "abc", 2), -1);
  EXPECT_EQ(rt::cmd::FindText("abc", "abcd"), -1);
}

TEST(FindTextCommand, EmptySoughtFindsOneInANonEmptyRegion) {
  EXPECT_EQ(rt::cmd::FindText("abc", ""), 1);
  EXPECT_EQ(rt::cmd::FindText("abc", "", 3), 1);
  EXPECT_EQ(rt::cmd::FindText("abc", "", 4), -1);
  EXPECT_EQ(rt::cmd::FindText("", ""), -1);
  EXPECT_EQ(rt::cmd::FindText(nullptr, "a"), -1);
}

TEST(FindTextCommand, IgnoreCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(rt::cmd::FindText("app.exe --RESET", "reset", 0, true), 11);
  EXPECT_EQ(rt::cmd::FindText("app.exe --RESET", "reset"), -1);
  EXPECT_EQ(rt::cmd::FindText("x[Z]", "[z]", 1, true), 2);
  // 0xB0 0x41 and 0xB0 0x61 are different characters, not two cases of one.
  EXPECT_EQ(rt::cmd::FindText("\xB0\x41", "\xB0\x61", 1, true), -1);
  EXPECT_EQ(rt::cmd::FindText("\xB0\x41", "\xB0\x41", 1, true), 1);
}

TEST(FindTextCommand, NeverMatchesOnATrailByte) {
  // 0xB0 0x61 is one character whose second byte is "a".
  EXPECT_EQ(rt::cmd::FindText("\xB0\x61" "a", "a"), 3);
  EXPECT_EQ(rt::cmd::FindText("\xB0\x61\xB0\x61", "a"), -1);
  EXPECT_EQ(rt::cmd::FindText("\xB0\x61\xB0\x61", "\x61\xB0"), -1);
  EXPECT_EQ(rt::cmd::FindText("\xB0\x61\xB0\x61", "\xB0\x61", 2), 3);
  EXPECT_EQ(rt::cmd::FindText("桌面", "面"), 3);
  // A lead byte at the very end is compared, then ends the walk.
  EXPECT_EQ(rt::cmd::FindText("a\xB0", "\xB0"), 2);
  EXPECT_EQ(rt::cmd::FindText("a\xB0", "b"), -1);
}

TEST(FindTextCommand, ReverseFindsTheLastMatchBeforeTheEnd) {
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc"), 4);
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc", 6), 1);
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc", 7), 4);
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc", 100), 4);
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc", 3), -1);
  EXPECT_EQ(rt::cmd::FindTextReverse("abcabc", "abc", 0), -1);
  EXPECT_EQ(rt::cmd::FindTextReverse("abc", ""), 1);
  EXPECT_EQ(rt::cmd::FindTextReverse("abc", "", 1), -1);
  EXPECT_EQ(rt::cmd::FindTextReverse("a\xB0\x61", "a"), 1);
  EXPECT_EQ(rt::cmd::FindTextReverse("A-a", "a", std::nullopt, true), 3);
  EXPECT_EQ(rt::cmd::FindTextReverse("A-b", "a", std::nullopt, true), 1);
}

TEST(FindTextCommand, OmittedArgumentsAreTagZeroRecords) {
  // Called with raw records, the way program code leaves arguments out.
  rt::ValueRecord args[4] = {rt::program::TextArg("xabc"), rt::program::TextArg("ABC"), {}, {}};
  rt::ValueRecord result;
  rt::commands::FindText(&result, 4, args);
  EXPECT_EQ(result.tag, rt::kTagInt);
  EXPECT_EQ(result.asInt(), -1);
  args[3] = rt::program::BoolArg(true);
  rt::commands::FindText(&result, 4, args);
  EXPECT_EQ(result.asInt(), 2);
  rt::commands::FindText(&result, 2, args);  // fewer records than the command can take
  EXPECT_EQ(result.asInt(), -1);
}

}  // namespace
