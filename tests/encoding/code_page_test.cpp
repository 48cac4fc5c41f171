// The program's texts are code page 936, and a walk through them keeps a
// two-byte character whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "encoding/wide_text.h"

namespace korvalin::test {
namespace {

TEST(CodePage, TheProgramsLiteralsAreInTheProgramsCodePage) {
  EXPECT_EQ(std::string("桌面"), "\xD7\xC0\xC3\xE6");
  EXPECT_EQ(WideFromText("桌面", kProgramCodePage), L"桌面");
}

// 淺 is 0x9C 0x5C: its second byte is a backslash that separates nothing.
TEST(LastSeparator, PassesOverASecondByteThatIsABackslash) {
  EXPECT_EQ(LastSeparator("C:\\a\\淺"), 4u);
  EXPECT_EQ(LastSeparator("淺"), std::string::npos);
  EXPECT_EQ(LastSeparator("C:/a\\b/c", '/'), 6u);
  EXPECT_EQ(LastSeparator(""), std::string::npos);
}

TEST(ForEachCharacter, VisitsTwoByteCharactersWhole) {
  std::vector<std::pair<size_t, bool>> seen;
  ForEachCharacter("a淺\\", [&](size_t at, bool twoBytes) { seen.emplace_back(at, twoBytes); });
  EXPECT_EQ(seen, (std::vector<std::pair<size_t, bool>>{{0, false}, {1, true}, {3, false}}));
  // A lead byte that ends the text stands alone.
  seen.clear();
  ForEachCharacter("a\x9C", [&](size_t at, bool twoBytes) { seen.emplace_back(at, twoBytes); });
  EXPECT_EQ(seen, (std::vector<std::pair<size_t, bool>>{{0, false}, {1, false}}));
}

}  // namespace
}  // namespace korvalin::test
