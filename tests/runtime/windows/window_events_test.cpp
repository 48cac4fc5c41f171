// Windows made from templates in this process: their events, in order, and
// their unit properties before and after creation.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/values/heap.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "runtime/windows/window_events.h"
#include "runtime/windows/window_templates.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr uint32_t kFirst = 0x52010201;
constexpr uint32_t kSecond = 0x52010202;
constexpr uint32_t kHooked = 0x52010203;
constexpr uint32_t kPlaced = 0x52010204;
constexpr uint32_t kAgain = 0x52010205;
constexpr uint32_t kAgainOther = 0x52010206;
constexpr uint32_t kSourced = 0x52010207;
constexpr uint32_t kProperties = 0x52010208;
constexpr uint32_t kYieldTo = 0x52010209;
constexpr uint32_t kYielding = 0x5201020A;
constexpr uint32_t kOwnUnit = 0x06010000;
constexpr uint32_t kControlUnit = 0x01010007;

std::vector<std::string> eventLog;
rt::EventSource sourceSeen;

int32_t CodeBase() { return 0; }

void Note(int event) {
  rt::EventSource s = rt::CurrentEventSource();
  sourceSeen = s;
  eventLog.push_back(std::to_string(s.window & 0xFF) + ":" + std::to_string(event));
}
void On0() { Note(0); }
void On3() { Note(3); }
void On4() { Note(4); }
void On5() { Note(5); }
void On6() { Note(6); }
void On8() { Note(8); }
int32_t Sum(int32_t a, int32_t b) { return a + b; }

// A window procedure put on top of the kernel's, as the program does with
// its own: it notes every message in the private ranges.
WNDPROC kernelProc = nullptr;
std::vector<UINT> privateSeen;
LRESULT CALLBACK Hook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message < 0xC000) privateSeen.push_back(message);
  return CallWindowProcA(kernelProc, hwnd, message, wParam, lParam);
}
void InstallHook() {
  Note(0);
  HWND hwnd = rt::WindowHandleOf(kHooked);
  kernelProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hook)));
}

void Activate(uint32_t id);
// A creation routine that hands activation to another window at once.
void YieldActivation() {
  Note(0);
  Activate(kYieldTo);
}

template <typename F>
int32_t Offset(F* routine) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(routine) - reinterpret_cast<intptr_t>(&CodeBase));
}

rt::WindowTemplate Window(uint32_t id, const char* className, void (*onCreated)()) {
  rt::UnitTemplate u;
  u.id = kOwnUnit;
  u.left = 50;
  u.top = 50;
  u.width = 320;
  u.height = 200;
  u.events = {{0, Offset(onCreated)}, {3, Offset(On3)}, {4, Offset(On4)}, {5, Offset(On5)},
              {6, Offset(On6)},       {8, Offset(On8)}, {9, Offset(Sum)}};
  u.windowClass.borderStyle = 1;
  u.windowClass.className = className;
  u.windowClass.title = className;
  rt::UnitTemplate control;
  control.id = kControlUnit;
  control.type = 0x00010002;
  control.left = 7;
  control.top = 9;
  rt::WindowTemplate w;
  w.id = id;
  w.units = {u, control};
  return w;
}

// The windows go through the block format like the program's own.
void InstallOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  rt::TemplateCollection c = {
      .windows = {Window(kFirst, "KorvalinEventsFirst", On0), Window(kSecond, "KorvalinEventsSecond", On0),
                  Window(kHooked, "KorvalinEventsHooked", InstallHook), Window(kPlaced, "KorvalinEventsPlaced", On0),
                  Window(kAgain, "KorvalinEventsAgain", On0), Window(kAgainOther, "KorvalinEventsAgainOther", On0),
                  Window(kSourced, "KorvalinEventsSourced", On0), Window(kProperties, "KorvalinEventsProperties", On0),
                  Window(kYieldTo, "KorvalinEventsYieldTo", On0),
                  Window(kYielding, "KorvalinEventsYielding", YieldActivation)}};
  c.windows[3].units[0].windowClass.startPosition = 0;
  std::vector<uint8_t> block = rt::WriteTemplateBlock(c);
  rt::TemplateCollection read;
  ASSERT_TRUE(rt::ReadTemplateBlock(block.data(), block.size(), read));
  rt::InstallWindowTemplates(read, reinterpret_cast<const void*>(&CodeBase));
}

// Dispatches messages until the log holds `count` entries or time runs out.
void PumpUntil(size_t count, DWORD timeoutMs = 3000) {
  DWORD start = GetTickCount();
  MSG msg;
  while (eventLog.size() < count && GetTickCount() - start < timeoutMs) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

void Activate(uint32_t id) {
  HWND hwnd = rt::WindowHandleOf(id);
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
}

struct ClassCount {
  const char* name;
  int count;
};

BOOL CALLBACK CountClass(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<ClassCount*>(p);
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  if (std::string(name) == q->name) ++q->count;
  return TRUE;
}

int CountThreadWindows(const char* className) {
  ClassCount q = {className, 0};
  EnumThreadWindows(GetCurrentThreadId(), CountClass, reinterpret_cast<LPARAM>(&q));
  return q.count;
}

// Hiding or destroying a shown window costs seconds under Wine, so each test
// has windows of its own and leaves them to the end of the process.
class WindowEvents : public testing::Test {
 protected:
  void SetUp() override {
    InstallOnce();
    eventLog.clear();
  }
};

using Log = std::vector<std::string>;

TEST_F(WindowEvents, CreationThenFirstActivationThenActivationsAndDeactivations) {
  rt::LoadStartupWindow(kFirst);
  // The first activation came during creation and waits for the queue.
  EXPECT_EQ(eventLog, (Log{"1:0", "1:3", "1:4"}));
  PumpUntil(5);
  EXPECT_EQ(eventLog, (Log{"1:0", "1:3", "1:4", "1:8", "1:5"}));

  // Making the second window takes activation from the first while events
  // are suppressed: the first hears nothing of it.
  eventLog.clear();
  rt::LoadStartupWindow(kSecond);
  PumpUntil(5);
  EXPECT_EQ(eventLog, (Log{"2:0", "2:3", "2:4", "2:8", "2:5"}));

  eventLog.clear();
  Activate(kFirst);
  PumpUntil(2);
  EXPECT_EQ(eventLog, (Log{"2:6", "1:5"}));
  eventLog.clear();
  Activate(kSecond);
  PumpUntil(2);
  EXPECT_EQ(eventLog, (Log{"1:6", "2:5"}));
}

// The window was active, so it hears its first activation, and then that it
// is no longer active.
TEST_F(WindowEvents, AWindowThatLosesActivationWhileBeingMadeHearsEightFiveSix) {
  rt::LoadStartupWindow(kYieldTo);
  PumpUntil(5);
  eventLog.clear();
  rt::LoadStartupWindow(kYielding);
  PumpUntil(7);
  EXPECT_EQ(eventLog, (Log{"10:0", "9:5", "10:3", "10:4", "10:8", "10:5", "10:6"}));
}

TEST_F(WindowEvents, LoadingAnExistingWindowOnlyBringsItForward) {
  rt::LoadStartupWindow(kAgain);
  PumpUntil(5);
  HWND first = rt::WindowHandleOf(kAgain);
  rt::LoadStartupWindow(kAgainOther);
  PumpUntil(10);
  eventLog.clear();
  rt::LoadStartupWindow(kAgain);
  PumpUntil(2);
  EXPECT_EQ(rt::WindowHandleOf(kAgain), first);
  EXPECT_EQ(CountThreadWindows("KorvalinEventsAgain"), 1);
  EXPECT_EQ(eventLog, (Log{"6:6", "5:5"}));
}

TEST_F(WindowEvents, AWindowProcedureOnTopSeesNoPrivateKernelMessage) {
  privateSeen.clear();
  rt::LoadStartupWindow(kHooked);
  PumpUntil(5);
  ASSERT_EQ(eventLog, (Log{"3:0", "3:3", "3:4", "3:8", "3:5"}));
  EXPECT_TRUE(privateSeen.empty()) << std::hex << privateSeen.front();
}

TEST_F(WindowEvents, TheSourceIsTheRaisingUnitWhileARoutineRuns) {
  rt::LoadStartupWindow(kSourced);
  EXPECT_EQ(sourceSeen.window, kSourced);
  EXPECT_EQ(sourceSeen.unit, kOwnUnit);
  EXPECT_EQ(rt::CurrentEventSource().window, 0u);
  EXPECT_EQ(rt::CurrentEventSource().unit, 0u);
  const int32_t arguments[] = {40, 2};
  int32_t result = 0;
  EXPECT_TRUE(rt::RaiseEvent(kSourced, kOwnUnit, 9, arguments, &result));
  EXPECT_EQ(result, 42);
  EXPECT_FALSE(rt::RaiseEvent(kSourced, kOwnUnit, 7));
}

int32_t ReadInt(uint32_t window, uint32_t unit, int32_t property) {
  return static_cast<int32_t>(rt::program::Helpers().readUnitProperty(window, unit, property, -1).low);
}

TEST_F(WindowEvents, PropertiesComeFromTheTemplateUntilTheWindowExists) {
  const int32_t centredLeft = (GetSystemMetrics(SM_CXSCREEN) - 320) / 2;
  const int32_t centredTop = (GetSystemMetrics(SM_CYSCREEN) - 200) / 2;
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 0), 50);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 1), 50);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 2), 320);
  rt::LoadStartupWindow(kProperties);
  HWND hwnd = rt::WindowHandleOf(kProperties);
  RECT rc;
  GetWindowRect(hwnd, &rc);
  EXPECT_EQ(rc.left, centredLeft);
  EXPECT_EQ(rc.top, centredTop);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 0), centredLeft);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 1), centredTop);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 3), 200);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 5), 1);
  EXPECT_EQ(ReadInt(kProperties, kOwnUnit, 8 + 10), 0);
  // Another unit of the window never stands for the window itself.
  EXPECT_EQ(rt::ResolveUnit(kProperties, kControlUnit), nullptr);
  EXPECT_EQ(rt::ResolveUnit(kProperties, kOwnUnit), hwnd);
  EXPECT_EQ(ReadInt(kProperties, kControlUnit, 0), 7);
  EXPECT_EQ(ReadInt(kProperties, kControlUnit, 1), 9);

  rt::program::WriteUnitText({kProperties, kOwnUnit}, rt::program::kPropertyWindowTitle, "新标题");
  rt::Text title = rt::program::ReadUnitText({kProperties, kOwnUnit}, rt::program::kPropertyWindowTitle);
  EXPECT_STREQ(title, "新标题");
  EXPECT_EQ(WindowText(hwnd), "新标题");
  rt::Free(title);
}

TEST_F(WindowEvents, AStoredPlaceIsUsedAndWritesBeforeCreationMoveIt) {
  rt::program::WriteUnitInt({kPlaced, kOwnUnit}, rt::program::kPropertyLeft, 120);
  rt::LoadStartupWindow(kPlaced);
  RECT rc;
  GetWindowRect(rt::WindowHandleOf(kPlaced), &rc);
  EXPECT_EQ(rc.left, 120);
  EXPECT_EQ(rc.top, 50);
  EXPECT_EQ(rc.right - rc.left, 320);
  EXPECT_EQ(rc.bottom - rc.top, 200);
}

}  // namespace
}  // namespace korvalin::test
