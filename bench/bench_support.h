// Timing, medians, resource counts and the result lines every benchmark
// prints; scripts/bench.sh gathers the lines into one table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvalin::bench {

// Seconds since an arbitrary start, from the performance counter.
double Now();
double Median(std::vector<double> samples);

// One result line: "BENCH|<group>|<measure>|<value>|<unit>|<note>".
void Report(const char* group, const std::string& measure, double value, const char* unit,
            const std::string& note = "");

// The private memory of a process in bytes (PROCESS_MEMORY_COUNTERS_EX);
// -1 when it cannot be read.
double PrivateBytes(HANDLE process);

// What a long session could leak. GetGuiResources and GetProcessHandleCount
// are stubs that answer 0 under Wine 8, so GDI objects and kernel handles
// are also counted by probing handle values, and USER objects as the
// windows this process owns.
struct Resources {
  long heapBlocks = 0;
  long gdiProbe = 0;
  long gdiReported = 0;
  long userWindows = 0;
  long userReported = 0;
  long handleProbe = 0;
};
Resources CountResources();
// Reports every count's growth from `before` to now under the phase name;
// returns whether all of them stayed level.
bool ReportGrowth(const char* phase, const Resources& before, const Resources& after);

// Dispatches whatever is queued for this thread.
void Pump();

// Writes a rules document with `count` rules, all naming the Desktop value.
bool WriteRulesFile(const std::string& path, int count);

}  // namespace korvalin::bench
