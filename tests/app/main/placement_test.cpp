// The saved window placement as a user meets it: Korvalin.exe started from a
// directory of its own with a prepared "Win.data", its window found by the
// process id, closed, and the file read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/app/main/flow_support.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes PlacementBytes(int left, int top, int width, int height) {
  Bytes bytes;
  for (int v : {left, top, width, height}) {
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  return bytes;
}

// Korvalin.exe copied into a fresh directory, with or without a Win.data.
class PlacementRun {
 public:
  explicit PlacementRun(const Bytes* placement)
      : directory_(PreparedDirectory(placement)),
        run_(directory_ + "\\Korvalin.exe", "", "SysPath_Mirt_Main", directory_.c_str()) {
    // The window is found as soon as it exists; its creation handler places
    // it and then makes the list.
    HWND window = run_.window();
    for (int i = 0; i < 200 && window && !FindWindowExA(window, nullptr, "ListBox", nullptr); ++i) Sleep(50);
  }

  HWND window() const { return run_.window(); }
  RECT Rect() const {
    RECT rect = {};
    GetWindowRect(run_.window(), &rect);
    return rect;
  }
  std::string DataPath() const { return directory_ + "\\Win.data"; }
  Bytes Saved() const {
    std::string content = ReadFile(DataPath());
    return Bytes(content.begin(), content.end());
  }
  // Closes the main window; returns the exit code.
  DWORD Close() { return run_.Close(); }

 private:
  // Korvalin.exe copied into a fresh directory, with the placement beside it.
  static std::string PreparedDirectory(const Bytes* placement) {
    std::string directory = MakeTempDirectory("placement");
    CopyFileA(KORVALIN_EXE, (directory + "\\Korvalin.exe").c_str(), FALSE);
    if (placement) WriteFile(directory + "\\Win.data", std::string(placement->begin(), placement->end()));
    return directory;
  }

  std::string directory_;
  ProgramRun run_;
};

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG width, LONG height) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

// Where the window's template puts it when nothing is restored.
RECT TemplateRect() {
  static const RECT rect = [] {
    PlacementRun run(nullptr);
    RECT r = run.Rect();
    run.Close();
    return r;
  }();
  return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(WindowPlacement, RestoresTheSavedPlacementAndSavesItOnClose) {
  Bytes saved = PlacementBytes(100, 50, 600, 400);
  PlacementRun run(&saved);
  ASSERT_NE(run.window(), nullptr);
  ExpectRect(run.Rect(), 100, 50, 600, 400);
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(run.Saved(), saved);
}

TEST(WindowPlacement, ValuesAbove32767ReadBackNegative) {
  Bytes saved = PlacementBytes(65500, 65516, 600, 400);  // -36, -20 in 16 bits
  PlacementRun run(&saved);
  ASSERT_NE(run.window(), nullptr);
  ExpectRect(run.Rect(), -36, -20, 600, 400);
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(run.Saved(), saved);
}

TEST(WindowPlacement, AShortFileOrAPlaceOnNoMonitorRestoresNothing) {
  RECT expected = TemplateRect();
  Bytes fourBytes = {100, 0, 50, 0};
  Bytes offScreen = PlacementBytes(20000, 20000, 600, 400);
  for (const Bytes* saved : {&fourBytes, &offScreen}) {
    PlacementRun run(saved);
    ASSERT_NE(run.window(), nullptr);
    EXPECT_TRUE(SameRect(run.Rect(), expected));
    EXPECT_EQ(run.Close(), 0u);
  }
}

TEST(WindowPlacement, MinimumSizeAndTheListOnTheWholeClientArea) {
  Bytes saved = PlacementBytes(100, 50, 600, 400);
  PlacementRun run(&saved);
  ASSERT_NE(run.window(), nullptr);
  SetWindowPos(run.window(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
  RECT rect = run.Rect();
  EXPECT_EQ(rect.right - rect.left, 520);
  EXPECT_EQ(rect.bottom - rect.top, 330);
  HWND list = FindWindowExA(run.window(), nullptr, "ListBox", nullptr);
  ASSERT_NE(list, nullptr);
  for (SIZE size : {SIZE{800, 600}, SIZE{640, 360}}) {
    SetWindowPos(run.window(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(run.window(), &client);
    RECT listRect = {};
    GetWindowRect(list, &listRect);
    MapWindowPoints(HWND_DESKTOP, run.window(), reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_TRUE(SameRect(listRect, client));
  }
  EXPECT_EQ(run.Close(), 0u);
}

TEST(WindowPlacement, AWindowClosedMinimisedOrMaximisedReopensAtItsNormalPlace) {
  Bytes saved = PlacementBytes(100, 50, 600, 400);
  for (WPARAM command : {SC_MINIMIZE, SC_MAXIMIZE}) {
    SCOPED_TRACE(command);
    PlacementRun run(&saved);
    ASSERT_NE(run.window(), nullptr);
    // As the frame's buttons do it, on the window's own thread.
    PostMessageA(run.window(), WM_SYSCOMMAND, command, 0);
    auto reached = [&] { return command == SC_MINIMIZE ? IsIconic(run.window()) : IsZoomed(run.window()); };
    for (int i = 0; i < 200 && !reached(); ++i) Sleep(50);
    ASSERT_TRUE(reached());
    EXPECT_EQ(run.Close(), 0u);
    EXPECT_EQ(run.Saved(), saved);
  }
}

TEST(WindowPlacement, RandomBytesOfAnyShortLengthNeverBreakTheStart) {
  std::mt19937 random(20261208);
  std::vector<Bytes> files;
  for (size_t length = 0; length <= 16; ++length) {
    Bytes saved(length);
    for (uint8_t& b : saved) b = static_cast<uint8_t>(random());
    files.push_back(saved);
  }
  // All at once: each process takes Wine a while to end.
  std::vector<std::unique_ptr<PlacementRun>> runs;
  for (const Bytes& saved : files) runs.push_back(std::make_unique<PlacementRun>(&saved));
  for (size_t length = 0; length < runs.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_NE(runs[length]->window(), nullptr);
    if (runs[length]->window()) PostMessageA(runs[length]->window(), WM_CLOSE, 0, 0);
  }
  for (size_t length = 0; length < runs.size(); ++length) {
    SCOPED_TRACE(length);
    if (runs[length]->window()) {
      EXPECT_EQ(runs[length]->Close(), 0u);
    }
  }
}

}  // namespace
}  // namespace korvalin::test
