// Korvalin.exe as a user starts and closes it.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(Korvalin, StartsWithItsMainWindowAndEndsWithZeroWhenClosed) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string commandLine = std::string("\"") + KORVALIN_EXE + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  HWND window = WaitForProcessWindow(pi.dwProcessId, "SysPath_Mirt_Main", "Korvalin 1.21");
  RECT rc = {};
  if (window) {
    GetWindowRect(window, &rc);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  DWORD code = FinishProcess(pi.hProcess);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(rc.right - rc.left, 591);
  EXPECT_EQ(rc.bottom - rc.top, 373);
  // Centred on the screen, not at the stored 50, 50.
  EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 591) / 2);
  EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - 373) / 2);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace korvalin::test
