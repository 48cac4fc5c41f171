#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"
#include "runtime/windows/loaded_windows.h"
#include "tests/support/test_support.h"

namespace {

namespace test = korvalin::test;

constexpr uint32_t kLoadedWindow = 0x52010011;
constexpr uint32_t kWindowUnit = 0x06010000;

rt::WindowTemplate Window(uint32_t id, const char* className) {
  rt::UnitTemplate unit;
  unit.id = kWindowUnit;
  unit.left = 40;
  unit.top = 30;
  unit.width = 300;
  unit.height = 200;
  unit.mousePointer.assign(4, '\0');
  unit.windowClass.startPosition = 0;
  unit.windowClass.className = className;
  unit.windowClass.title = "命令测试";
  rt::WindowTemplate window;
  window.id = id;
  window.units.push_back(std::move(unit));
  return window;
}

// A runtime whose image carries one window template, loaded.
void StartWithWindow() {
  static const std::vector<uint8_t> block =
      rt::WriteTemplateBlock({.windows = {Window(kLoadedWindow, "KorvalinCommandTest")}});
  static rt::ProgramImageHeader image = test::PlainTestImage();
  image.templateBlock = block.data();
  image.templateBlockSize = static_cast<uint32_t>(block.size());
  test::StartRuntime(image);
  rt::program::LoadStartupWindow(kLoadedWindow);
}

int failures = 0;
void Check(bool ok, const char* what, long a, long b) {
  if (ok) return;
  std::fprintf(stderr, "window commands: %s: got %ld, expected %ld\n", what, a, b);
  ++failures;
}
#define CHECK_EQ(a, b) Check((a) == (b), #a, static_cast<long>(a), static_cast<long>(b))

RECT Outer(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

KORVALIN_SCENARIO(window_commands) {
  StartWithWindow();
  const rt::UnitRef unit = {kLoadedWindow, kWindowUnit};
  HWND hwnd = rt::WindowHandleOf(kLoadedWindow);
  if (!hwnd) return 2;

  CHECK_EQ(rt::cmd::GetWindowHandle(unit), static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd)));
  RECT client = {};
  GetClientRect(hwnd, &client);
  CHECK_EQ(rt::cmd::ClientWidth(unit), client.right);
  CHECK_EQ(rt::cmd::ClientHeight(unit), client.bottom);
  CHECK_EQ(client.right > 0 && client.right <= 300, true);

  RECT start = Outer(hwnd);
  rt::cmd::MoveUnit(unit);
  RECT r = Outer(hwnd);
  CHECK_EQ(EqualRect(&r, &start), TRUE);

  rt::cmd::MoveUnit(unit, 100);
  r = Outer(hwnd);
  CHECK_EQ(r.left, 100);
  CHECK_EQ(r.top, start.top);
  CHECK_EQ(r.right - r.left, 300);
  CHECK_EQ(r.bottom - r.top, 200);

  rt::cmd::MoveUnit(unit, std::nullopt, 80);
  r = Outer(hwnd);
  CHECK_EQ(r.left, 100);
  CHECK_EQ(r.top, 80);
  CHECK_EQ(r.bottom - r.top, 200);

  rt::cmd::MoveUnit(unit, std::nullopt, std::nullopt, 350, -1);
  r = Outer(hwnd);
  CHECK_EQ(r.left, 100);
  CHECK_EQ(r.right - r.left, 350);
  CHECK_EQ(r.bottom - r.top, 200);

  rt::cmd::MoveUnit(unit, std::nullopt, std::nullopt, -1, 120);
  r = Outer(hwnd);
  CHECK_EQ(r.right - r.left, 350);
  CHECK_EQ(r.bottom - r.top, 120);

  rt::cmd::MoveUnit(unit, 10, 20, 200, 150);
  r = Outer(hwnd);
  CHECK_EQ(r.left, 10);
  CHECK_EQ(r.top, 20);
  CHECK_EQ(r.right, 210);
  CHECK_EQ(r.bottom, 170);
  GetClientRect(hwnd, &client);
  CHECK_EQ(rt::cmd::ClientWidth(unit), client.right);
  CHECK_EQ(rt::cmd::ClientHeight(unit), client.bottom);
  return failures ? 10 + failures : 0;
}

TEST(WindowCommands, HandleClientSizeAndMoveOnALoadedWindow) {
  EXPECT_EQ(test::RunChild("window_commands"), 0u);
}

KORVALIN_SCENARIO(window_command_unresolved) {
  StartWithWindow();
  std::string which = argc > 2 ? argv[2] : "";
  if (which == "unknown-window") rt::cmd::GetWindowHandle({0x52019999, kWindowUnit});
  if (which == "destroyed") {
    DestroyWindow(rt::WindowHandleOf(kLoadedWindow));
    rt::cmd::MoveUnit({kLoadedWindow, kWindowUnit}, 1, 2);
  }
  return 3;  // not reached
}

TEST(WindowCommands, AUnitWithoutALiveWindowIsARuntimeError) {
  // Each child takes seconds to end, so two of the ways: no such window, and
  // a window whose live window has gone.
  for (const char* which : {"unknown-window", "destroyed"}) {
    test::ChildError error = test::AwaitChildError(test::StartChild("window_command_unresolved", which));
    EXPECT_TRUE(error.shown) << which;
    EXPECT_NE(error.text.find("指定窗口或窗口组件不存在或尚未载入"), std::string::npos) << which << ": " << error.text;
    EXPECT_TRUE(test::IsExitMinusOne(error.exitCode)) << which << ": " << error.exitCode;
  }
}

}  // namespace
