// Template and event failures, and the suppression of events after a runtime
// error and during shut-down, each in a child process of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/windows/loaded_windows.h"
#include "runtime/interface/program_calls.h"
#include "runtime/interface/startup.h"
#include "runtime/windows/window_events.h"
#include "runtime/windows/window_templates.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr uint32_t kWindow = 0x52010301;
constexpr uint32_t kOwnUnit = 0x06010000;
constexpr uint32_t kDataUnit = 0x01010002;  // a unit of a class that takes no events

std::string logPath;

int32_t CodeBase() { return 0; }

void Log(const std::string& entry) { std::ofstream(logPath, std::ios::app) << entry << ' '; }
void On0() { Log("0"); }
void On5() { Log("5"); }
void On6() { Log("6"); }
void On8() { Log("8"); }

int32_t Offset(void (*routine)()) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(routine) - reinterpret_cast<intptr_t>(&CodeBase));
}

rt::TemplateCollection Templates(int32_t classVersion) {
  rt::UnitTemplate u;
  u.id = kOwnUnit;
  u.width = 300;
  u.height = 180;
  u.events = {{0, Offset(On0)}, {5, Offset(On5)}, {6, Offset(On6)}, {8, Offset(On8)}};
  u.windowClass.version = classVersion;
  u.windowClass.borderStyle = 1;
  u.windowClass.className = "KorvalinErrorsWindow";
  u.windowClass.title = "事件";
  rt::UnitTemplate data;
  data.id = kDataUnit;
  data.type = 0x00010030;
  rt::WindowTemplate w;
  w.id = kWindow;
  w.units = {u, data};
  return {.windows = {w}};
}

// Attaches an image holding `block` and starts the runtime.
void StartWithBlock(const std::vector<uint8_t>& block) {
  static std::vector<uint8_t> kept;
  kept = block;
  static rt::ProgramImageHeader image = PlainTestImage();
  image.codeBase = reinterpret_cast<const void*>(&CodeBase);
  image.templateBlock = kept.data();
  image.templateBlockSize = static_cast<uint32_t>(kept.size());
  StartRuntime(image);
}

KORVALIN_SCENARIO(template_class_version_7) {
  StartWithBlock(rt::WriteTemplateBlock(Templates(7)));
  rt::program::LoadStartupWindow(kWindow);
  return 3;
}

KORVALIN_SCENARIO(template_block_truncated) {
  std::vector<uint8_t> block = rt::WriteTemplateBlock(Templates(6));
  block.resize(block.size() - 5);
  StartWithBlock(block);
  return 3;
}

KORVALIN_SCENARIO(event_error) {
  StartWithBlock(rt::WriteTemplateBlock(Templates(6)));
  const std::string which = argc > 2 ? argv[2] : "";
  if (which == "window") rt::RaiseEvent(0x52010399, 0, rt::kEventActivated);
  if (which == "unit") rt::RaiseEvent(kWindow, 0x01010099, rt::kEventActivated);
  if (which == "class") rt::RaiseEvent(kWindow, kDataUnit, rt::kEventActivated);
  return 3;
}

std::string ReadLog(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The log from the marker on.
std::string From(const std::string& log, const std::string& marker) {
  size_t at = log.find(marker);
  return at == std::string::npos ? "no " + marker : log.substr(at);
}

// Starts the window, waits for its first activation and keeps it active.
void StartActiveWindow(const char* path) {
  logPath = path;
  StartWithBlock(rt::WriteTemplateBlock(Templates(6)));
  rt::program::LoadStartupWindow(kWindow);
  HWND hwnd = rt::WindowHandleOf(kWindow);
  MSG msg;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (ReadLog(logPath).find("8 5 ") != std::string::npos && GetActiveWindow() == hwnd) break;
    SetForegroundWindow(hwnd);
    Sleep(20);
  }
}

KORVALIN_SCENARIO(events_after_runtime_error) {
  StartActiveWindow(argv[2]);
  Log("error");
  rt::program::RaiseRuntimeError(9);
}

KORVALIN_SCENARIO(events_during_shutdown) {
  StartActiveWindow(argv[2]);
  Log("end");
  rt::program::EndProgram(4);
}

struct ErrorChild {
  const char* scenario;
  const char* argument;
  const char* message;
  HANDLE process = nullptr;
};

TEST(WindowErrors, TemplateAndEventFailuresAreRuntimeErrors) {
  // Started together: each child's box takes seconds to end.
  ErrorChild children[] = {
      {"template_class_version_7", "", "载入启动窗口失败"}, {"template_block_truncated", "", "载入窗口模板数据段出错!"},
      {"event_error", "window", "未找到引发事件的窗口"},    {"event_error", "unit", "未找到引发事件的窗口组件"},
      {"event_error", "class", "引发事件的窗口组件无效"},
  };
  for (ErrorChild& c : children) c.process = StartChild(c.scenario, c.argument);
  for (ErrorChild& c : children) {
    SCOPED_TRACE(std::string(c.scenario) + " " + c.argument);
    // Not an assertion: the children after it must still be ended.
    EXPECT_NE(c.process, nullptr);
    if (!c.process) continue;
    std::string text;
    EXPECT_TRUE(DismissProcessErrorBox(GetProcessId(c.process), &text));
    EXPECT_EQ(text, std::string("运行时出错!\r\n\r\n错误信息：") + c.message + "\r\n");
  }
  for (ErrorChild& c : children) {
    SCOPED_TRACE(std::string(c.scenario) + " " + c.argument);
    if (!c.process) continue;
    DWORD code = 0;
    if (WaitForSingleObject(c.process, 20000) != WAIT_OBJECT_0) TerminateProcess(c.process, 1);
    GetExitCodeProcess(c.process, &code);
    CloseHandle(c.process);
    EXPECT_TRUE(IsExitMinusOne(code)) << code;
  }
}

class EventSuppression : public testing::Test {
 protected:
  void SetUp() override { log_ = MakeTempDirectory("events") + "\\events.txt"; }
  void TearDown() override { DeleteFileA(log_.c_str()); }
  std::string log_;
};

// The error box takes activation from the window; the window hears nothing.
TEST_F(EventSuppression, NoEventReachesTheProgramAfterARuntimeError) {
  HANDLE child = StartChild("events_after_runtime_error", "\"" + log_ + "\"");
  ASSERT_NE(child, nullptr);
  std::string text;
  EXPECT_TRUE(DismissProcessErrorBox(GetProcessId(child), &text));
  if (WaitForSingleObject(child, 20000) != WAIT_OBJECT_0) TerminateProcess(child, 1);
  DWORD code = 0;
  GetExitCodeProcess(child, &code);
  CloseHandle(child);
  EXPECT_TRUE(IsExitMinusOne(code)) << code;
  const std::string log = ReadLog(log_);
  EXPECT_NE(log.find("0 8 5 "), std::string::npos) << log;
  EXPECT_EQ(From(log, "error"), "error ") << log;
}

// Shut-down destroys the active window; its deactivation is not delivered.
TEST_F(EventSuppression, NoEventReachesTheProgramDuringShutDown) {
  EXPECT_EQ(RunChild("events_during_shutdown", "\"" + log_ + "\""), 4u);
  const std::string log = ReadLog(log_);
  EXPECT_NE(log.find("0 8 5 "), std::string::npos) << log;
  EXPECT_EQ(From(log, "end"), "end ") << log;
}

}  // namespace
}  // namespace korvalin::test
