// Whether a new directory is the current one or lies inside it, whatever the
// spelling of either.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "migrate/path_text.h"
#include "migrate/place_identity.h"
#include "tests/support/links.h"
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

// Where a path leads counts, not how it is spelled: a link to a folder
// inside the directory is inside it.
TEST(RelatePlaces, ALinkToAFolderInsideIsInside) {
  const std::string dir = MakeTempDirectory("sameplace");
  ASSERT_TRUE(CreateDirectoryA((dir + "\\sub").c_str(), nullptr));
  const std::string link = MakeTempDirectory("sameplace-link") + "\\into";
  if (!MakeDirectoryLink(link, dir + "\\sub")) GTEST_SKIP() << "no directory links here";
  EXPECT_EQ(RelatePlaces(link, dir), PlaceRelation::kInside);
  EXPECT_EQ(RelatePlaces(link + "\\deeper", dir), PlaceRelation::kInside);
  EXPECT_EQ(RelatePlaces(dir, link), PlaceRelation::kContains);
}

// 淺 is 0x9C 0x5C in code page 936: a path that ends in it does not end in
// a separator, and the place beside it is not inside it.
TEST(IsSameOrInside, ACharacterWhoseSecondByteIsABackslashEndsNoPart) {
  const std::string dir = MakeTempDirectory("sameplace") + "\\淺";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  EXPECT_FALSE(IsSameOrInside((dir + "x").c_str(), dir.c_str()));
  EXPECT_TRUE(IsSameOrInside((dir + "\\x").c_str(), dir.c_str()));
  EXPECT_EQ(RelatePlaces(dir + "x", dir), PlaceRelation::kSeparate);
  EXPECT_EQ(RelatePlaces(dir + "\\x", dir), PlaceRelation::kInside);
  EXPECT_EQ(ParentPath(dir + "\\誠"), dir);
}

}  // namespace
}  // namespace korvalin::test
