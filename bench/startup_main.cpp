// Start-up driver: starts Korvalin.exe from a directory of its own (with or
// without a rules.json) and times process start to painted folder rows, then
// WM_CLOSE to process exit. Wine's own process start is timed with a program
// that ends at once.
//
// "Painted rows" as seen from outside: the list box holds every row (header
// and rules) and neither it nor the main window has an update region left,
// so the WM_PAINT that drew the rows through WM_DRAWITEM has run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace korvalin::bench {
namespace {

constexpr DWORD kTimeoutMs = 60000;

struct Child {
  PROCESS_INFORMATION info = {};
  bool start(const std::string& program, const std::string& directory) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\"";
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
  HWND window;
};

BOOL CALLBACK FindMain(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner != found->processId || std::string(name) != "SysPath_Mirt_Main") return TRUE;
  found->window = window;
  return FALSE;
}

// sawPending: set once the rows were all there with their paint still to come,
// which shows that the update region is seen from this process.
bool RowsPainted(HWND main, HWND list, LRESULT rows, bool& sawPending) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kTimeoutMs, &count)) return false;
  if (static_cast<LRESULT>(count) != rows || !IsWindowVisible(list)) return false;
  if (GetUpdateRect(list, nullptr, FALSE) || GetUpdateRect(main, nullptr, FALSE)) {
    sawPending = true;
    return false;
  }
  return true;
}

double WineProcessStart(const std::string& noop) {
  Child child;
  double start = Now();
  if (!child.start(noop, "")) return -1;
  WaitForSingleObject(child.info.hProcess, kTimeoutMs);
  return Now() - start;
}

struct StartupRun {
  double toRows = -1;
  double toExit = -1;
  DWORD exitCode = 0;
  bool sawPending = false;
};

StartupRun TimeKorvalin(const std::string& program, const std::string& directory, LRESULT rows) {
  StartupRun run;
  DeleteFileA((directory + "\\Win.data").c_str());
  Child child;
  double start = Now();
  if (!child.start(program, directory)) return run;
  Found found = {child.info.dwProcessId, nullptr};
  HWND list = nullptr;
  while (Now() - start < kTimeoutMs / 1000.0) {
    if (!found.window) EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
    if (found.window && !list) list = FindWindowExA(found.window, nullptr, "ListBox", nullptr);
    if (list && RowsPainted(found.window, list, rows, run.sawPending)) {
      run.toRows = Now() - start;
      break;
    }
    if (WaitForSingleObject(child.info.hProcess, 1) == WAIT_OBJECT_0) return run;
  }
  if (run.toRows < 0) return run;
  double closing = Now();
  PostMessageA(found.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(child.info.hProcess, kTimeoutMs) == WAIT_OBJECT_0) {
    run.toExit = Now() - closing;
    GetExitCodeProcess(child.info.hProcess, &run.exitCode);
  }
  return run;
}

bool CopyProgram(const std::string& program, const std::string& directory, int rules) {
  CreateDirectoryA(directory.c_str(), nullptr);
  std::string target = directory + "\\Korvalin.exe";
  if (!CopyFileA(program.c_str(), target.c_str(), FALSE)) return false;
  std::string document = directory + "\\rules.json";
  DeleteFileA(document.c_str());
  return rules < 0 || WriteRulesFile(document, rules);
}

}  // namespace
}  // namespace korvalin::bench

// startup_bench.exe <Korvalin.exe> <noop.exe> <work directory> <runs>
int main(int argc, char** argv) {
  using namespace korvalin::bench;
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_bench Korvalin.exe noop.exe workdir runs\n");
    return 2;
  }
  const std::string program = argv[1], noop = argv[2], work = argv[3];
  const int runs = std::atoi(argv[4]);
  CreateDirectoryA(work.c_str(), nullptr);

  std::vector<double> wine;
  WineProcessStart(noop);  // first start pays for loading Wine's libraries
  for (int i = 0; i < runs; ++i) wine.push_back(WineProcessStart(noop));
  const double wineStart = Median(wine);
  Report("startup", "Wine process start (empty GUI program, start to exit)", wineStart * 1000, "ms",
         "median of " + std::to_string(runs));

  struct Case {
    const char* name;
    int rules;
  } cases[] = {{"built-in rules", -1}, {"10 rules", 10}, {"100 rules", 100}, {"1000 rules", 1000}};
  int failures = 0;
  for (const Case& c : cases) {
    std::string directory = work + "\\" + (c.rules < 0 ? std::string("builtin") : std::to_string(c.rules));
    if (!CopyProgram(program, directory, c.rules)) {
      std::fprintf(stderr, "cannot prepare %s\n", directory.c_str());
      return 1;
    }
    const LRESULT rows = 1 + (c.rules < 0 ? 3 : c.rules);
    std::vector<double> toRows, toExit;
    int pending = 0;
    TimeKorvalin(directory + "\\Korvalin.exe", directory, rows);  // warm the file cache
    for (int i = 0; i < runs; ++i) {
      StartupRun run = TimeKorvalin(directory + "\\Korvalin.exe", directory, rows);
      if (run.toRows < 0 || run.toExit < 0 || run.exitCode != 0) {
        std::fprintf(stderr, "%s: run %d failed (rows %.3f, exit %.3f, code %lu)\n", c.name, i, run.toRows,
                     run.toExit, run.exitCode);
        ++failures;
        continue;
      }
      toRows.push_back(run.toRows);
      pending += run.sawPending;
      toExit.push_back(run.toExit);
    }
    const double rowsMs = Median(toRows) * 1000;
    Report("startup", std::string("Korvalin, ") + c.name + ": start to painted rows", rowsMs, "ms",
           "median of " + std::to_string(toRows.size()) + "; paint seen pending in " +
               std::to_string(pending));
    Report("startup", std::string("Korvalin, ") + c.name + ": beyond Wine's process start", rowsMs - wineStart * 1000,
           "ms", c.rules < 0 ? "target < 300 ms" : "");
    Report("startup", std::string("Korvalin, ") + c.name + ": WM_CLOSE to exit", Median(toExit) * 1000, "ms");
  }
  return failures ? 1 : 0;
}
