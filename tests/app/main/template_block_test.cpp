// The program's own template block as the kernel reads it, and a window made
// from its values.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/main/entry.h"
#include "app/main/globals.h"
#include "app/main/main_window.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/interface/program_calls.h"
#include "runtime/windows/window_events.h"
#include "runtime/windows/window_templates.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

int32_t OffsetOf(void (*routine)()) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(routine) - reinterpret_cast<intptr_t>(&ProgramEntry));
}

rt::TemplateCollection ProgramBlock() {
  const rt::ProgramImageHeader& h = ProgramHeader();
  rt::TemplateCollection c;
  EXPECT_TRUE(rt::ReadTemplateBlock(h.templateBlock, h.templateBlockSize, c));
  return c;
}

TEST(ProgramTemplateBlock, HoldsTheMainWindowWithItsOwnUnitAndTwoEvents) {
  const rt::ProgramImageHeader& h = ProgramHeader();
  EXPECT_EQ(h.codeBase, reinterpret_cast<const void*>(&ProgramEntry));
  EXPECT_EQ(h.templateBlockSize, 297u);
  const rt::TemplateCollection c = ProgramBlock();
  ASSERT_EQ(c.windows.size(), 1u);
  const rt::WindowTemplate& w = c.windows[0];
  EXPECT_EQ(w.id, 0x52010001u);
  EXPECT_EQ(w.word1, 0x2524240u);
  EXPECT_EQ(w.word2, 0x19010030u);
  ASSERT_EQ(w.units.size(), 1u);
  const rt::UnitTemplate& u = w.units[0];
  EXPECT_EQ(u.id, 0x06010000u);
  EXPECT_EQ(u.type, rt::kUnitTypeWindow);
  EXPECT_EQ(u.left, 50);
  EXPECT_EQ(u.top, 50);
  EXPECT_EQ(u.width, 591);
  EXPECT_EQ(u.height, 373);
  EXPECT_EQ(u.mousePointer, std::string(4, '\0'));
  EXPECT_EQ(u.flags, rt::kUnitVisible);
  ASSERT_EQ(u.events.size(), 2u);
  EXPECT_EQ(u.events[0].event, 0);
  EXPECT_EQ(u.events[0].handler, OffsetOf(OnMainWindowCreated));
  EXPECT_EQ(u.events[1].event, 8);
  EXPECT_EQ(u.events[1].handler, OffsetOf(OnMainWindowFirstActivated));
  const rt::WindowClassBlock& k = u.windowClass;
  EXPECT_FALSE(u.emptyClassBlock);
  EXPECT_EQ(k.version, 6);
  EXPECT_EQ(k.borderStyle, 1);
  EXPECT_EQ(k.backColor, 0xFF000000u);
  EXPECT_EQ(k.maximizeBox, 1);
  EXPECT_EQ(k.minimizeBox, 1);
  EXPECT_EQ(k.controlBox, 1);
  EXPECT_EQ(k.startPosition, 1);
  EXPECT_EQ(k.movable, 1);
  EXPECT_EQ(k.alwaysOnTop, 0);
  EXPECT_EQ(k.className, "SysPath_Mirt_Main");
  EXPECT_EQ(k.title, "Korvalin " KORVALIN_VERSION);
}

TEST(ProgramTemplateBlock, TheKernelBindsItsHandlersToTheProgramsRoutines) {
  rt::LoadedWindow* w = rt::FindLoadedWindow(kMainWindowId);
  ASSERT_NE(w, nullptr);
  const std::vector<rt::BoundEvent>& events = rt::OwnUnit(*w)->events;
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].routine, reinterpret_cast<uintptr_t>(&OnMainWindowCreated));
  EXPECT_EQ(events[1].routine, reinterpret_cast<uintptr_t>(&OnMainWindowFirstActivated));
}

TEST(ProgramTemplateBlock, BeforeTheMainWindowExistsItsPlaceIsTheStoredOne) {
  ASSERT_EQ(rt::WindowHandleOf(kMainWindowId), nullptr);
  EXPECT_EQ(rt::program::ReadUnitInt(kMainWindow, rt::program::kPropertyLeft), 50);
  EXPECT_EQ(rt::program::ReadUnitInt(kMainWindow, rt::program::kPropertyTop), 50);
  EXPECT_EQ(rt::program::ReadUnitInt(kMainWindow, rt::program::kPropertyWidth), 591);
  EXPECT_EQ(rt::program::ReadUnitInt(kMainWindow, rt::program::kPropertyHeight), 373);
}

constexpr char kCopyClass[] = "KorvalinMainWindowCopy";

BOOL CALLBACK CountMainClass(HWND w, LPARAM count) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  if (std::string(name) == kCopyClass) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int CopyWindowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountMainClass, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The program's own values under another identifier and class name, and
// without handlers: no program routine runs in the test process, and tests
// that look for Korvalin's own window do not find this one.
TEST(ProgramTemplateBlock, MakesOneCentredWindowOfItsSizeHoweverOftenLoaded) {
  constexpr uint32_t kCopy = 0x52010F01;
  rt::TemplateCollection c = ProgramBlock();
  ASSERT_EQ(c.windows.size(), 1u);
  c.windows[0].id = kCopy;
  for (rt::EventBinding& b : c.windows[0].units[0].events) b.handler = rt::kNoHandler;
  c.windows[0].units[0].windowClass.className = kCopyClass;
  rt::InstallWindowTemplates(c, reinterpret_cast<const void*>(&ProgramEntry));
  const rt::UnitRef copy = {kCopy, kMainWindowUnit};
  EXPECT_EQ(rt::program::ReadUnitInt(copy, rt::program::kPropertyLeft), 50);
  EXPECT_EQ(rt::program::ReadUnitInt(copy, rt::program::kPropertyTop), 50);

  rt::program::LoadStartupWindow(kCopy);
  rt::program::LoadStartupWindow(kCopy);
  HWND hwnd = rt::WindowHandleOf(kCopy);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(CopyWindowsOfThisThread(), 1);
  EXPECT_EQ(WindowText(hwnd), "Korvalin " KORVALIN_VERSION);
  RECT rc;
  GetWindowRect(hwnd, &rc);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 591) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 373) / 2;
  EXPECT_EQ(rc.left, left);
  EXPECT_EQ(rc.top, top);
  EXPECT_EQ(rc.right - rc.left, 591);
  EXPECT_EQ(rc.bottom - rc.top, 373);
  EXPECT_EQ(rt::program::ReadUnitInt(copy, rt::program::kPropertyLeft), left);
  EXPECT_EQ(rt::program::ReadUnitInt(copy, rt::program::kPropertyTop), top);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  for (LONG bit : {WS_THICKFRAME, WS_CAPTION, WS_SYSMENU, WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_CLIPCHILDREN})
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace korvalin::test
