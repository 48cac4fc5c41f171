// First start without rules.json or Win.data, close, and the next start.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

int Half(const std::string& bytes, size_t at) {
  return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

TEST(FirstStart, DefaultRowsCentredWindowAndItsPlacementKeptForTheNextStart) {
  KorvalinRun run("first-start");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.WaitForRows(4)) << run.RowCount();
  EXPECT_EQ(run.RowCount(), 4);
  EXPECT_NE(run.RowTitle(0).find(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(run.RowTitle(1), L"桌面");
  EXPECT_EQ(run.RowTitle(2), L"我的文档");
  EXPECT_EQ(run.RowTitle(3), L"下载");
  EXPECT_EQ(run.Caption(), L"Korvalin " KORVALIN_VERSION_W);

  RECT rect = run.WindowRect();
  EXPECT_EQ(rect.right - rect.left, 591);
  EXPECT_EQ(rect.bottom - rect.top, 373);
  EXPECT_LE(std::abs(rect.left - (GetSystemMetrics(SM_CXSCREEN) - 591) / 2), 1) << rect.left;
  EXPECT_LE(std::abs(rect.top - (GetSystemMetrics(SM_CYSCREEN) - 373) / 2), 1) << rect.top;

  // The header is drawn on its light grey.
  Sleep(300);
  POINT header = run.RowPoint(0, 10, 66);
  EXPECT_EQ(CaptureScreen({header.x, header.y, header.x + 1, header.y + 1}).At(0, 0), 0xF5F6F7u);

  // The user moves and resizes the window, then closes it.
  MoveWindow(run.window(), 120, 90, 640, 420, TRUE);
  Sleep(200);
  EXPECT_EQ(run.Close(), 0u);
  bool exists = false;
  std::string saved = run.Read("Win.data", &exists);
  ASSERT_TRUE(exists);
  ASSERT_EQ(saved.size(), 8u);
  EXPECT_EQ(Half(saved, 0), 120);
  EXPECT_EQ(Half(saved, 2), 90);
  EXPECT_EQ(Half(saved, 4), 640);
  EXPECT_EQ(Half(saved, 6), 420);

  KorvalinRun again("first-start", ProgramUnderTest(), true);
  ASSERT_TRUE(again.Start());
  // The window is found as soon as it exists; placed by the time it loads its rows.
  ASSERT_TRUE(again.WaitForRows(4));
  RECT reopened = again.WindowRect();
  EXPECT_EQ(reopened.left, 120);
  EXPECT_EQ(reopened.top, 90);
  EXPECT_EQ(reopened.right - reopened.left, 640);
  EXPECT_EQ(reopened.bottom - reopened.top, 420);
  EXPECT_EQ(again.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::e2e
