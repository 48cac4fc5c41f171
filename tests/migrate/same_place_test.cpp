// Whether a new directory is the current one or lies inside it, whatever the
// spelling of either.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "migrate/path_text.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(TidySeparators, TurnsSlashesAndDropsTrailingBackslashes) {
  EXPECT_EQ(TidySeparators("C:/Users/me/"), "C:\\Users\\me");
  EXPECT_EQ(TidySeparators("C:\\Users\\me\\\\"), "C:\\Users\\me");
  EXPECT_EQ(TidySeparators("C:\\"), "C:\\");
  EXPECT_EQ(TidySeparators("C:"), "C:\\");
  // 0x95 0x5C is one double-byte character whose second byte is a backslash.
  const std::string wide = "C:\\x\\\x95\x5C";
  EXPECT_EQ(TidySeparators(wide), wide);
  EXPECT_EQ(TidySeparators(wide + "\\"), wide);
  EXPECT_EQ(FoldCase("C:\\AB\\\x95\x5A"), "c:\\ab\\\x95\x5A");  // a trail byte is no letter
}

TEST(IsSameOrInside, CatchesOtherSpellingsOfTheSamePlace) {
  std::string dir = MakeTempDirectory("sameplace");
  std::string lower = dir, upper = dir;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  std::string slashes = dir;
  for (char& c : slashes) c = c == '\\' ? '/' : c;
  size_t cut = dir.rfind('\\');
  std::string dotted = dir.substr(0, cut) + "\\.\\x\\..\\" + dir.substr(cut + 1);
  for (const std::string& spelling : {lower, upper, dir + "\\", slashes, dotted}) {
    SCOPED_TRACE(spelling);
    EXPECT_TRUE(IsSameOrInside(spelling.c_str(), dir.c_str()));
    EXPECT_TRUE(IsSameOrInside(dir.c_str(), spelling.c_str()));
  }
}

TEST(IsSameOrInside, CatchesShortNames) {
  std::string dir = MakeTempDirectory("sameplace") + "\\A Rather Long Directory Name";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string shortName = WithShortLastPart(dir);
  ASSERT_FALSE(shortName.empty());
  ASSERT_NE(shortName, dir);
  EXPECT_TRUE(IsSameOrInside(shortName.c_str(), dir.c_str()));
  EXPECT_TRUE(IsSameOrInside((shortName + "\\later").c_str(), dir.c_str()));
}

TEST(IsSameOrInside, InsideButNotBesideOrAbove) {
  std::string dir = MakeTempDirectory("sameplace");
  EXPECT_TRUE(IsSameOrInside((dir + "\\sub").c_str(), dir.c_str()));
  EXPECT_TRUE(IsSameOrInside((dir + "\\sub\\deeper\\").c_str(), dir.c_str()));
  EXPECT_FALSE(IsSameOrInside((dir + "sibling").c_str(), dir.c_str()));
  EXPECT_FALSE(IsSameOrInside(dir.substr(0, dir.rfind('\\')).c_str(), dir.c_str()));
  EXPECT_FALSE(IsSameOrInside("", dir.c_str()));
  EXPECT_FALSE(IsSameOrInside(dir.c_str(), ""));
}

}  // namespace
}  // namespace korvalin::test
