// Korvalin.exe as a user starts and closes it.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(Korvalin, StartsWithItsMainWindowAndEndsWithZeroWhenClosed) {
  ProgramRun run(KORVALIN_EXE, "", "SysPath_Mirt_Main");
  ASSERT_NE(run.window(), nullptr);
  EXPECT_EQ(WindowText(run.window()), "Korvalin " KORVALIN_VERSION);
  RECT rc = {};
  GetWindowRect(run.window(), &rc);
  DWORD code = run.Close();
  EXPECT_EQ(rc.right - rc.left, 591);
  EXPECT_EQ(rc.bottom - rc.top, 373);
  // Centred on the screen, not at the stored 50, 50.
  EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 591) / 2);
  EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - 373) / 2);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace korvalin::test
