// The release zip, unpacked into the suite's fresh prefix before the run.
#include <gtest/gtest.h>

#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

#ifdef KORVALIN_E2E_RELEASE
TEST(ReleaseZip, HoldsTheGuideTheRulesAndAKorvalinThatStarts) {
  const std::string unpacked = "C:\\release\\Korvalin-1.21";
  bool exists = false;
  EXPECT_FALSE(ReadFileBytes(unpacked + "\\GUIDE.txt", &exists).empty());
  EXPECT_TRUE(exists);
  std::string rules = ReadFileBytes(unpacked + "\\rules.json", &exists);
  ASSERT_TRUE(exists);
  KorvalinRun run("release", unpacked + "\\Korvalin.exe");
  run.Put("rules.json", rules);
  ASSERT_TRUE(run.Start());
  // The shipped rules.json lists the three usual folders.
  ASSERT_TRUE(run.WaitForRows(4)) << run.RowCount();
  EXPECT_EQ(run.RowTitle(1), L"桌面");
  EXPECT_EQ(run.RowTitle(3), L"下载");
  EXPECT_EQ(run.Close(), 0u);
}
#endif

}  // namespace
}  // namespace korvalin::e2e
