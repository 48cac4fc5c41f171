#include "bench/startup_child.h"

#include "bench/bench_support.h"

namespace korvalin::bench {
namespace {

constexpr DWORD kTimeoutMs = 60000;
// Each poll is a handful of server calls; polling every millisecond slowed
// the program being measured.
constexpr DWORD kPollMs = 5;

struct Child {
  PROCESS_INFORMATION info = {};
  bool start(const std::string& program, const std::string& directory, const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info) != 0;
  }
  // Ends the process if it still runs, and always waits for it.
  ~Child() {
    if (!info.hProcess) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, 99);
      WaitForSingleObject(info.hProcess, kTimeoutMs);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
};

struct Found {
  DWORD processId;
  const char* windowClass;
  HWND window;
};

BOOL CALLBACK FindMain(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner != found->processId || std::string(name) != found->windowClass) return TRUE;
  found->window = window;
  return FALSE;
}

bool Painted(HWND window) { return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE); }

// The rows are all there and neither the list nor its window has an update
// region left, so the WM_PAINT that drew them through WM_DRAWITEM has run.
bool RowsPainted(HWND main, HWND list, long rows, bool& sawPending) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kTimeoutMs, &count)) return false;
  if (static_cast<long>(count) != rows || !IsWindowVisible(list)) return false;
  if (Painted(list) && Painted(main)) return true;
  sawPending = true;
  return false;
}

// Polls until the wanted window is painted; false when the process ended or
// the time ran out first.
bool WaitUntilPainted(Child& child, const PaintedWindow& wanted, double start, StartupRun& run, HWND& main) {
  Found found = {child.info.dwProcessId, wanted.windowClass, nullptr};
  HWND list = nullptr;
  while (Now() - start < kTimeoutMs / 1000.0) {
    if (!found.window) EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
    if (found.window && wanted.listRows >= 0 && !list)
      list = FindWindowExA(found.window, nullptr, "ListBox", nullptr);
    const bool done = wanted.listRows < 0 ? found.window && Painted(found.window)
                                          : list && RowsPainted(found.window, list, wanted.listRows, run.sawPending);
    if (done) {
      main = found.window;
      return true;
    }
    if (WaitForSingleObject(child.info.hProcess, kPollMs) == WAIT_OBJECT_0) {
      run.failure = "the process ended before its window was painted";
      return false;
    }
  }
  run.failure = "gave up after 60 s waiting for the painted window";
  return false;
}

}  // namespace

StartupRun TimeStart(const std::string& program, const std::string& directory, const std::string& arguments,
                     const PaintedWindow& wanted) {
  StartupRun run;
  Child child;
  const double start = Now();
  if (!child.start(program, directory, arguments)) {
    run.failure = "CreateProcess failed";
    return run;
  }
  HWND main = nullptr;
  if (!WaitUntilPainted(child, wanted, start, run, main)) return run;
  run.toPainted = Now() - start;
  run.privateBytes = PrivateBytes(child.info.hProcess);
  if (run.privateBytes < 0) run.failure = "GetProcessMemoryInfo failed";
  const double closing = Now();
  PostMessageA(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(child.info.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
    run.failure = "gave up after 60 s waiting for the process to end after WM_CLOSE";
    return run;
  }
  run.toExit = Now() - closing;
  GetExitCodeProcess(child.info.hProcess, &run.exitCode);
  if (run.exitCode != 0 && run.failure.empty()) run.failure = "exit code " + std::to_string(run.exitCode);
  return run;
}

double TimeToExit(const std::string& program, const std::string& arguments) {
  Child child;
  const double start = Now();
  if (!child.start(program, "", arguments)) return -1;
  if (WaitForSingleObject(child.info.hProcess, kTimeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 1;
  GetExitCodeProcess(child.info.hProcess, &code);
  return code == 0 ? Now() - start : -1;
}

}  // namespace korvalin::bench
