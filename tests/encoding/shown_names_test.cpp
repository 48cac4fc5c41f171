// Wide names shown as the program's text: what the code page holds stays,
// what it lacks or only has a look-alike for is written so that a user can
// tell it, never as '?'.
#include <gtest/gtest.h>

#include "encoding/shown_names.h"

namespace korvalin::test {
namespace {

// Names the code page lacks, kept out of the checks' own texts, which are
// written in the code page.
const wchar_t kHangul[] = L"한글.txt";
const wchar_t kCircumflex[] = L"château.txt";
const wchar_t kSquared[] = L"m²";

TEST(TextForShowing, KeepsWhatTheCodePageHoldsAndEscapesTheRest) {
  EXPECT_EQ(TextForShowing(L"sub\\a.txt"), "sub\\a.txt");
  EXPECT_EQ(TextForShowing(L"桌面\\誠.txt"), "桌面\\誠.txt");
  EXPECT_EQ(TextForShowing(kHangul), "<U+D55C><U+AE00>.txt");
  EXPECT_EQ(TextForShowing(L"\U0001F600.txt"), "<U+1F600>.txt");
  // A look-alike ('a' for 'â', '2' for '²') would name another file.
  EXPECT_EQ(TextForShowing(kCircumflex), "ch<U+00E2>teau.txt");
  EXPECT_EQ(TextForShowing(kSquared), "m<U+00B2>");
  EXPECT_EQ(TextForShowing(L"tab\there"), "tab<U+0009>here");
}

}  // namespace
}  // namespace korvalin::test
