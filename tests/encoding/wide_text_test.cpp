// Texts to and from UTF-16: paths in the platform's code page, the
// program's own texts in theirs, and UTF-8 for the command line's output.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "encoding/wide_text.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value.h"

namespace korvalin::test {
namespace {

std::vector<uint8_t> Bytes(void* byteSet) {
  const uint8_t* data = rt::ByteSetData(byteSet);
  return std::vector<uint8_t>(data, data + rt::ByteSetLength(byteSet));
}

// Takes the result of ToWideText, checks its header and frees it.
std::vector<uint8_t> Converted(void* byteSet) {
  EXPECT_NE(byteSet, nullptr);
  if (!byteSet) return {};
  EXPECT_EQ(static_cast<rt::ByteSetHeader*>(byteSet)->dimensions, 1);
  std::vector<uint8_t> bytes = Bytes(byteSet);
  rt::program::Free(byteSet);
  return bytes;
}

// The UTF-16LE bytes of a wide literal with its terminating zero unit.
std::vector<uint8_t> WideBytes(const std::wstring& text) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

TEST(ToWideText, ConvertsChineseTextFromCodePage936) {
  // "桌面" is D7 C0 C3 E6 in the source's execution character set.
  EXPECT_EQ(Converted(ToWideText("桌面", 0, false, 0)), (std::vector<uint8_t>{0x4C, 0x68, 0x62, 0x97, 0, 0}));
  EXPECT_EQ(Converted(ToWideText("C:\\Users\\桌面 1", 0, false, 0)), WideBytes(L"C:\\Users\\桌面 1"));
  // Without the flag the code page given is ignored.
  EXPECT_EQ(Converted(ToWideText("\xD7\xC0\xC3\xE6", CP_UTF8, false, 0)), WideBytes(L"桌面"));
  EXPECT_EQ(Converted(ToWideText("\xD7\xC0\xC3\xE6", kProgramCodePage, true, -5)), WideBytes(L"桌面"));
}

TEST(ToWideText, AbsentAndEmptyTextsGiveTheTwoZeroBytes) {
  EXPECT_EQ(Converted(ToWideText(nullptr, 0, false, 0)), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Converted(ToWideText("", 0, false, 0)), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Converted(ToWideText(nullptr, CP_UTF8, true, 12)), (std::vector<uint8_t>{0, 0}));
}

TEST(ToWideText, AnExplicitLengthTakesExactlyThatManyBytes) {
  EXPECT_EQ(Converted(ToWideText("桌面", 0, false, 2)), WideBytes(L"桌"));
  EXPECT_EQ(Converted(ToWideText("abcdef", 0, false, 3)), WideBytes(L"abc"));
  // Past a NUL too: the length, not the terminator, bounds the input.
  const char withNul[] = {'a', 'b', '\0', 'c'};
  EXPECT_EQ(Converted(ToWideText(withNul, 0, false, 4)), WideBytes(std::wstring(L"ab\0c", 4)));
}

TEST(ToWideText, ReadsUtf8WithAnExplicitLength) {
  // The UTF-8 bytes of "桌面", not NUL-terminated, followed by bytes that must be ignored.
  const char utf8[] = {'\xE6', '\xA1', '\x8C', '\xE9', '\x9D', '\xA2', '{', '}'};
  EXPECT_EQ(Converted(ToWideText(utf8, CP_UTF8, true, 6)), WideBytes(L"桌面"));
  EXPECT_EQ(Converted(ToWideText(utf8, CP_UTF8, true, 3)), WideBytes(L"桌"));
  const char json[] = "{\"title\": \"\xE4\xB8\x8B\xE8\xBD\xBD\"}";
  EXPECT_EQ(Converted(ToWideText(json, CP_UTF8, true, sizeof json - 1)), WideBytes(L"{\"title\": \"下载\"}"));
}

TEST(WideFromText, ReadsTheCodePage) {
  EXPECT_EQ(WideFromText("C:\\淺\\x"), L"C:\\淺\\x");
  EXPECT_EQ(WideFromText(""), L"");
  EXPECT_EQ(WideFromText("\xE6\xA1\x8C", CP_UTF8), L"桌");
}

TEST(TextFromWide, WritesTheCodePage) {
  EXPECT_EQ(TextFromWide(L"C:\\淺\\x"), "C:\\淺\\x");
  EXPECT_EQ(TextFromWide(L"桌面", kProgramCodePage), "桌面");
  EXPECT_EQ(TextFromWide(L"桌", CP_UTF8), "\xE6\xA1\x8C");
  EXPECT_EQ(TextFromWide(L""), "");
}

TEST(Utf8FromText, ReadsTheProgramsCodePage) {
  EXPECT_EQ(Utf8FromText("桌面 1"), "\xE6\xA1\x8C\xE9\x9D\xA2 1");
  EXPECT_EQ(Utf8FromText("\xD7\xC0"), "\xE6\xA1\x8C");
  EXPECT_EQ(Utf8FromText(""), "");
  // The length, not a NUL, bounds the text.
  EXPECT_EQ(Utf8FromText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace korvalin::test
