// The pictures in docs/, taken by scripts/screenshots.sh, which runs this
// with KORVALIN_SHOTS naming a directory: normal mode, recovery mode and a
// confirmation, on a Wine desktop that draws the window frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

// A 32-bit top-down BMP of the screen area.
void SaveShot(const std::string& path, RECT area) {
  Capture shot = CaptureScreen(area);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = shot.width;
  info.biHeight = -shot.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  DWORD bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + bytes;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(shot.pixels.data()), bytes);
}

RECT Around(HWND a, HWND b = nullptr) {
  RECT r = {}, s = {};
  GetWindowRect(a, &r);
  if (b && GetWindowRect(b, &s)) UnionRect(&r, &r, &s);
  InflateRect(&r, 12, 12);
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&r, &r, &screen);
  return r;
}

TEST(Screenshots, NormalRecoveryAndConfirmation) {
  const char* shots = std::getenv("KORVALIN_SHOTS");
  if (!shots || !*shots) GTEST_SKIP() << "taken by scripts/screenshots.sh";
  std::string dir = shots;
  Folders folders("shots");
  std::string target = folders.Make("Desktop-D");
  {
    KorvalinRun run("shots");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForRows(4));
    Sleep(800);
    SaveShot(dir + "\\normal.bmp", Around(run.window()));
    run.ClickRowButton(1);
    Dialog browser = WaitForDialog(run.processId());
    ASSERT_TRUE(BrowseTo(run.process(), browser, target));
    Dialog confirm = WaitForDialog(run.processId());
    ASSERT_TRUE(confirm.Shows(L"确认操作")) << confirm.AllTexts();
    Sleep(500);
    SaveShot(dir + "\\confirm.bmp", Around(run.window(), confirm.window));
    Answer(confirm, IDCANCEL);
    EXPECT_EQ(run.Close(), 0u);
  }
  KorvalinRun run("shots-reset");
  ASSERT_TRUE(run.Start("-reset"));
  ASSERT_TRUE(run.WaitForRows(4));
  Dialog question = WaitForDialog(run.processId());
  ASSERT_TRUE(question.Shows(L"确认操作模式")) << question.AllTexts();
  Answer(question, IDOK);
  Sleep(300);
  RedrawWindow(run.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(800);
  SaveShot(dir + "\\recovery.bmp", Around(run.window()));
  EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::e2e
