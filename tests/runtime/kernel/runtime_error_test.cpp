// The runtime error report, end to end: each error is raised in a child
// process, whose box the parent reads and answers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "runtime/commands/library.h"
#include "runtime/interface/program_calls.h"
#include "tests/runtime/interface/declared_table.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

// Every child registers an exit routine that leaves this file behind; a
// runtime error must end the process without running it.
std::string exitMarker;

void WriteExitMarker() {
  if (FILE* f = std::fopen(exitMarker.c_str(), "w")) {
    std::fputs("exit routine ran", f);
    std::fclose(f);
  }
}

void StartWithExitRoutine(char** argv) {
  exitMarker = argv[2];
  StartRuntime(RuntimeTestImage());
  rt::program::SetExitRoutine(WriteExitMarker);
}

KORVALIN_SCENARIO(report_empty) {
  StartWithExitRoutine(argv);
  rt::library::Kernel(rt::library::kReportError, reinterpret_cast<intptr_t>(""));
  return 0;
}

KORVALIN_SCENARIO(report_code) {
  StartWithExitRoutine(argv);
  rt::program::RaiseRuntimeError(std::stoi(argv[3]));
}

KORVALIN_SCENARIO(report_allocation) {
  StartWithExitRoutine(argv);
  rt::program::Allocate(static_cast<size_t>(std::stoull(argv[3])));
  return 0;
}

DWORD WINAPI RaiseOnThisThread(LPVOID) { rt::program::RaiseRuntimeError(2); }

KORVALIN_SCENARIO(report_from_thread) {
  StartWithExitRoutine(argv);
  CloseHandle(CreateThread(nullptr, 0, RaiseOnThisThread, nullptr, 0, nullptr));
  // The GUI thread keeps pumping: shut-down is handed to it.
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// A window that fails on every repaint, as a broken owner-drawn control
// would: the box's own message loop keeps asking it to paint.
int paintFailures = 0;
LRESULT CALLBACK FailingPaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) rt::program::RaiseRuntimeError(++paintFailures == 1 ? 2 : 5);
  return DefWindowProcA(window, message, wParam, lParam);
}

KORVALIN_SCENARIO(report_in_paint) {
  StartWithExitRoutine(argv);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FailingPaintProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KorvalinFailingPaint";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "repaint", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

KORVALIN_SCENARIO(end_normally) {
  StartWithExitRoutine(argv);
  rt::program::EndProgram(3);
}

struct ErrorRun {
  bool boxShown = false;
  std::string text;
  DWORD exitCode = 0;
  bool exitRoutineRan = false;
};

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ErrorRun RunErrorChild(const std::string& scenario, const std::string& extra = "", bool expectBox = true) {
  std::string marker = MakeTempDirectory("error") + "\\exit-routine.txt";
  std::string arguments = "\"" + marker + "\"";
  if (!extra.empty()) arguments += " " + extra;
  HANDLE child = StartChild(scenario, arguments);
  ErrorRun run;
  if (!child) return run;
  if (expectBox) run.boxShown = DismissProcessErrorBox(GetProcessId(child), &run.text);
  run.exitCode = FinishProcess(child);
  run.exitRoutineRan = FileExists(marker);
  return run;
}

void ExpectRuntimeError(const ErrorRun& run, const std::string& text) {
  EXPECT_TRUE(run.boxShown);
  EXPECT_EQ(run.text, text);
  EXPECT_TRUE(IsExitMinusOne(run.exitCode)) << "exit code " << run.exitCode;
  EXPECT_FALSE(run.exitRoutineRan) << "the exit routine ran after a runtime error";
}

TEST(RuntimeErrorReport, ExitRoutineRunsOnANormalEnd) {
  // Without this the absent marker of the other cases would prove nothing.
  ErrorRun run = RunErrorChild("end_normally", "", false);
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_TRUE(run.exitRoutineRan);
}

TEST(RuntimeErrorReport, CodeZeroWithoutMessageShowsOnlyTheHeading) {
  ExpectRuntimeError(RunErrorChild("report_empty"), "运行时出错!\r\n\r\n");
}

TEST(RuntimeErrorReport, FixedErrorsShowCodeAndMessage) {
  ExpectRuntimeError(RunErrorChild("report_code", "6"),
                     "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  ExpectRuntimeError(RunErrorChild("report_code", "9"),
                     "运行时出错!\r\n\r\n错误代码：9\r\n\r\n"
                     "错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围\r\n");
}

TEST(RuntimeErrorReport, AllocationFailureNamesTheRequestedSize) {
  // More than the process can ever have: 2 GB in 32 bits, 2^62 bytes in 64.
  const unsigned long long size = sizeof(void*) == 4 ? 0x7FFFFFF0ull : 1ull << 62;
  ExpectRuntimeError(RunErrorChild("report_allocation", std::to_string(size)),
                     "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(size) + " 字节内存失败!\r\n");
}

TEST(RuntimeErrorReport, ErrorOnAnotherThreadEndsTheProcessThroughTheGuiThread) {
  ExpectRuntimeError(RunErrorChild("report_from_thread"),
                     "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：未得到所需要的数值型数据\r\n");
}

struct BoxCount {
  DWORD processId;
  int boxes;
};

BOOL CALLBACK CountErrorBoxes(HWND window, LPARAM lParam) {
  auto* count = reinterpret_cast<BoxCount*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count->processId) return TRUE;
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770" && WindowText(window) == "错误") ++count->boxes;
  return TRUE;
}

TEST(RuntimeErrorReport, ErrorRaisedAgainWhileTheBoxIsUpOpensNoSecondBox) {
  std::string marker = MakeTempDirectory("error") + "\\exit-routine.txt";
  HANDLE child = StartChild("report_in_paint", "\"" + marker + "\"");
  ASSERT_NE(child, nullptr);
  const DWORD childId = GetProcessId(child);
  bool appeared = WaitForProcessWindow(childId, "#32770", "错误") != nullptr;
  Sleep(500);  // time enough for a pile of boxes, were there going to be one
  BoxCount count = {childId, 0};
  EnumWindows(CountErrorBoxes, reinterpret_cast<LPARAM>(&count));
  ChildError error = AwaitChildError(child);
  ASSERT_TRUE(appeared);
  EXPECT_EQ(count.boxes, 1);
  EXPECT_TRUE(error.shown);
  EXPECT_EQ(error.text, "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：未得到所需要的数值型数据\r\n");
  DWORD code = error.exitCode;
  EXPECT_TRUE(IsExitMinusOne(code)) << "exit code " << code;
  EXPECT_FALSE(FileExists(marker));
}

}  // namespace
}  // namespace korvalin::test
