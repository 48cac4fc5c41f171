// Start-up and shut-down of a whole program, each in a child process.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/windows/message_loop.h"
#include "runtime/interface/program_calls.h"
#include "runtime/interface/startup.h"
#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/window_events.h"
#include "tests/support/test_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr uint32_t kWindowId = 0x52010002;
constexpr char kWindowClass[] = "KorvalinStartupTestWindow";

std::string markerPath;
DWORD guiThread = 0;
int createdEvents = 0;

struct Constants {
  rt::program::ConstantBlockPrefix prefix;
};
const Constants kConstants = {{rt::KernelHelperTable(), {0, 0, 0, 0}, {1, 0}}};

int EntryCodeBase() { return 0; }

void OnCreated() { ++createdEvents; }

int32_t Offset(void (*handler)()) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(handler) - reinterpret_cast<intptr_t>(&EntryCodeBase));
}

const std::vector<uint8_t>& TemplateBlock() {
  static const std::vector<uint8_t> block = [] {
    rt::UnitTemplate unit;
    unit.id = 0x06010000;
    unit.width = 300;
    unit.height = 200;
    unit.events = {{rt::kEventCreated, Offset(OnCreated)}};
    unit.windowClass.borderStyle = 1;
    unit.windowClass.className = kWindowClass;
    unit.windowClass.title = "启动测试";
    rt::WindowTemplate window;
    window.id = kWindowId;
    window.units.push_back(unit);
    rt::TemplateCollection c;
    c.windows.push_back(window);
    return rt::WriteTemplateBlock(c);
  }();
  return block;
}

const rt::ProgramImageHeader& WindowImage() {
  static const rt::ProgramImageHeader& header = BuildTestImage({
      .constants = &kConstants,
      .constantsSize = sizeof kConstants,
      .codeBase = reinterpret_cast<const void*>(&EntryCodeBase),
      .templates = TemplateBlock().data(),
      .templatesSize = static_cast<uint32_t>(TemplateBlock().size()),
  });
  return header;
}

// The exit routine leaves a note: which thread ran it and whether the
// window was still there.
void WriteMarker() {
  std::ofstream out(markerPath);
  out << (GetCurrentThreadId() == guiThread ? "gui" : "other") << ' '
      << (FindProcessWindow(GetCurrentProcessId(), kWindowClass, nullptr) ? "window" : "nowindow") << ' ' << createdEvents;
}

std::string ReadMarker(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int StartWindow() {
  rt::program::InitializeRuntime();
  guiThread = GetCurrentThreadId();
  rt::program::SetExitRoutine(WriteMarker);
  rt::program::LoadStartupWindow(kWindowId);
  return 0;
}

int LoopEntry() {
  StartWindow();
  rt::program::RunMessageLoop();
  return 0;
}

int EndFiveEntry() {
  StartWindow();
  rt::program::EndProgram(5);
}

DWORD WINAPI EndFromThread(LPVOID) {
  rt::program::EndProgram(7);
}

int EndFromThreadEntry() {
  StartWindow();
  CloseHandle(CreateThread(nullptr, 0, EndFromThread, nullptr, 0, nullptr));
  rt::program::RunMessageLoop();
  return 0;
}

// A message source whose first call fails as GetMessageA can (-1), leaving
// what looks like a WM_QUIT with code 77 in the record; then it closes the
// window and hands over to the real GetMessageA.
int sourceCalls = 0;
BOOL WINAPI FailOnceThenClose(LPMSG msg, HWND window, UINT first, UINT last) {
  if (++sourceCalls == 1) {
    msg->message = WM_QUIT;
    msg->wParam = 77;
    return -1;
  }
  if (sourceCalls == 2) PostMessageA(FindProcessWindow(GetCurrentProcessId(), kWindowClass, nullptr), WM_CLOSE, 0, 0);
  return GetMessageA(msg, window, first, last);
}

int FailingSourceEntry() {
  StartWindow();
  rt::SetMessageSource(FailOnceThenClose);
  rt::program::RunMessageLoop();
  return 0;
}

int Run(int argc, char** argv, int (*entry)()) {
  if (argc > 2) markerPath = argv[2];
  return rt::RunApplication(&WindowImage(), entry);
}

KORVALIN_SCENARIO(close_window) { return Run(argc, argv, LoopEntry); }
KORVALIN_SCENARIO(end_five) { return Run(argc, argv, EndFiveEntry); }
KORVALIN_SCENARIO(end_from_thread) { return Run(argc, argv, EndFromThreadEntry); }
KORVALIN_SCENARIO(failing_message_source) {
  int code = Run(argc, argv, FailingSourceEntry);
  return sourceCalls > 2 ? code : 100 + code;  // the loop went on past the failed call
}

KORVALIN_SCENARIO(current_directory) {
  rt::AttachProgramImage(&PlainTestImage());
  rt::program::InitializeRuntime();
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof current, current);
  return lstrcmpiA(current, ThisProgramDirectory().c_str()) == 0 ? 0 : 1;
}

// A support library of the test's own notes the kernel's notifications.
intptr_t NoteNotification(int code, intptr_t entry, intptr_t) {
  std::ofstream out(markerPath, std::ios::app);
  out << (code == 1 && entry ? "start " : code == 6 ? "end" : "?");
  return 0;
}

void NoteExit() { std::ofstream(markerPath, std::ios::app) << "exit "; }

KORVALIN_SCENARIO(library_notified) {
  markerPath = argv[2];
  static const rt::LibraryInfo library = {20000101, "test", "", 1, 0, NoteNotification, nullptr, 0, nullptr, 0};
  ImageParts parts = PlainImageParts();
  parts.extraLibrary = &library;
  rt::AttachProgramImage(&BuildTestImage(parts));
  rt::program::InitializeRuntime();
  rt::program::SetExitRoutine(NoteExit);
  rt::program::EndProgram(3);
}

KORVALIN_SCENARIO(no_templates) {
  rt::AttachProgramImage(&PlainTestImage());
  rt::program::InitializeRuntime();
  rt::program::LoadStartupWindow(kWindowId);
  return 0;
}

class StartupTest : public testing::Test {
 protected:
  void SetUp() override { marker_ = MakeTempDirectory("startup") + "\\marker.txt"; }
  void TearDown() override { DeleteFileA(marker_.c_str()); }
  std::string marker_;
};

TEST_F(StartupTest, ClosingTheLastWindowEndsWithZeroAfterTheExitRoutine) {
  HANDLE child = StartChild("close_window", "\"" + marker_ + "\"");
  ASSERT_NE(child, nullptr);
  HWND window = WaitForProcessWindow(GetProcessId(child), kWindowClass, "启动测试");
  RECT rc = {};
  if (window) {
    GetWindowRect(window, &rc);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  DWORD code = FinishProcess(child);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(rc.right - rc.left, 300);
  EXPECT_EQ(rc.bottom - rc.top, 200);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadMarker(marker_), "gui nowindow 1");
}

TEST_F(StartupTest, EndProgramDestroysWindowsRunsTheExitRoutineAndEndsWithItsCode) {
  EXPECT_EQ(RunChild("end_five", "\"" + marker_ + "\""), 5u);
  EXPECT_EQ(ReadMarker(marker_), "gui nowindow 1");
}

TEST_F(StartupTest, EndProgramFromAnotherThreadIsHandedToTheGuiThread) {
  EXPECT_EQ(RunChild("end_from_thread", "\"" + marker_ + "\""), 7u);
  EXPECT_EQ(ReadMarker(marker_), "gui nowindow 1");
}

TEST_F(StartupTest, AFailedGetMessageIsNotTakenForTheEndOfTheLoop) {
  // The loop must go on to the real close, which ends with 0, not 77.
  EXPECT_EQ(RunChild("failing_message_source", "\"" + marker_ + "\""), 0u);
  EXPECT_EQ(ReadMarker(marker_), "gui nowindow 1");
}

TEST_F(StartupTest, LibrariesAreNotifiedAtStartAndAfterTheExitRoutine) {
  EXPECT_EQ(RunChild("library_notified", "\"" + marker_ + "\""), 3u);
  EXPECT_EQ(ReadMarker(marker_), "start exit end");
}

TEST(Startup, WithoutTemplatesTheStartupWindowCannotBeLoaded) {
  ChildError error = AwaitChildError(StartChild("no_templates"));
  ASSERT_TRUE(error.shown);
  EXPECT_EQ(error.text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_TRUE(IsExitMinusOne(error.exitCode));
}

TEST(Startup, CurrentDirectoryBecomesTheProgramDirectory) {
  std::string elsewhere = MakeTempDirectory("cwd");
  EXPECT_EQ(RunChild("current_directory", "", 30000, elsewhere.c_str()), 0u);
  RemoveDirectoryA(elsewhere.c_str());
}

}  // namespace
}  // namespace korvalin::test
