#include "bench/bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "runtime/values/heap.h"

namespace korvalin::bench {
namespace {

// Wine hands out GDI handles with the table index in the low word and also
// accepts the bare index, so every live object answers GetObjectType.
long ProbeGdiObjects() {
  long count = 0;
  for (UINT_PTR index = 1; index < 0x10000; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  return count;
}

// Kernel handles are small multiples of four, the lowest free one first.
long ProbeKernelHandles() {
  long count = 0;
  DWORD flags = 0;
  for (UINT_PTR value = 4; value < 0x4000; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<long*>(counter);
  return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counter) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<long*>(counter);
  EnumChildWindows(window, CountChild, counter);
  return TRUE;
}

long CountOwnWindows() {
  long count = 0;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
    CountOwnWindow(w, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  size_t mid = samples.size() / 2;
  return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

void Report(const char* group, const std::string& measure, double value, const char* unit, const std::string& note) {
  std::printf("BENCH|%s|%s|%.3f|%s|%s\n", group, measure.c_str(), value, unit, note.c_str());
  std::fflush(stdout);
}

// Wine 8 leaves PrivateUsage at 0 and counts the process's private memory
// in PagefileUsage, which is the same figure (the commit charge) on Windows.
double PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return -1;
  const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return bytes ? static_cast<double>(bytes) : -1;
}

Resources CountResources() {
  Resources r;
  HANDLE self = GetCurrentProcess();
  r.heapBlocks = rt::LiveBlockCount();
  r.gdiProbe = ProbeGdiObjects();
  r.gdiReported = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
  r.userWindows = CountOwnWindows();
  r.userReported = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
  r.handleProbe = ProbeKernelHandles();
  return r;
}

bool ReportGrowth(const char* phase, const Resources& before, const Resources& after) {
  constexpr char kStub[] = "; a stub under Wine 8 that answers 0, so this row shows nothing";
  struct Row {
    const char* name;
    long before, after;
    const char* remark;
  } rows[] = {
      {"heap blocks (runtime count)", before.heapBlocks, after.heapBlocks, ""},
      {"GDI objects (probed)", before.gdiProbe, after.gdiProbe, ""},
      {"GDI objects (GetGuiResources)", before.gdiReported, after.gdiReported, kStub},
      {"USER objects (own windows)", before.userWindows, after.userWindows,
       "; windows only: menus, cursors, icons and hooks are not counted"},
      {"USER objects (GetGuiResources)", before.userReported, after.userReported, kStub},
      {"kernel handles (probed)", before.handleProbe, after.handleProbe, ""},
  };
  bool level = true;
  for (const Row& row : rows) {
    long growth = row.after - row.before;
    if (growth != 0) level = false;
    Report("balance", std::string(phase) + ": " + row.name, static_cast<double>(growth), "growth",
           std::to_string(row.before) + " -> " + std::to_string(row.after) + row.remark);
  }
  return level;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool WriteRulesFile(const std::string& path, int count) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fputs("{\"regPath\":[", file);
  for (int i = 0; i < count; ++i) {
    // UTF-8, as an editor would save it.
    std::fprintf(file,
                 "%s{\"title\":\"\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB9 %d\",\"name\":\"Desktop\",\"root\":3,"
                 "\"moveFiles\":%s,\"path\":\"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\"
                 "User Shell Folders\"}",
                 i ? "," : "", i + 1, i % 2 ? "false" : "true");
  }
  std::fputs("]}", file);
  return std::fclose(file) == 0;
}

}  // namespace korvalin::bench
