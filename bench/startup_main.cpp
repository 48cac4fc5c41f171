// Start-up driver: starts Korvalin.exe from a directory of its own (with or
// without a rules.json) and times process start to painted folder rows,
// reads the process's private memory there, then times WM_CLOSE to process
// exit. The baseline is an empty program with Korvalin's manifest that
// opens a window of the same size (bench_noop.exe).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/startup_child.h"

namespace korvalin::bench {
namespace {

struct Samples {
  std::vector<double> painted, memory, exit;
  int pending = 0;
  int failures = 0;
};

// One untimed run first, to warm the file cache; a failed run is told and
// counted, and none of its figures enters a median.
Samples RunCase(const char* name, const std::string& program, const std::string& directory,
                const std::string& arguments, const PaintedWindow& wanted, int runs) {
  Samples samples;
  TimeStart(program, directory, arguments, wanted);
  for (int i = 0; i < runs; ++i) {
    const StartupRun run = TimeStart(program, directory, arguments, wanted);
    if (!run.failure.empty()) {
      std::fprintf(stderr, "%s: run %d failed: %s\n", name, i + 1, run.failure.c_str());
      ++samples.failures;
      continue;
    }
    samples.painted.push_back(run.toPainted * 1000);
    samples.memory.push_back(run.privateBytes / 1024);
    samples.exit.push_back(run.toExit * 1000);
    samples.pending += run.sawPending;
  }
  return samples;
}

std::string MedianOf(const std::vector<double>& samples) { return "median of " + std::to_string(samples.size()); }

bool CopyProgram(const std::string& program, const std::string& directory, int rules) {
  CreateDirectoryA(directory.c_str(), nullptr);
  DeleteFileA((directory + "\\Win.data").c_str());
  if (!CopyFileA(program.c_str(), (directory + "\\Korvalin.exe").c_str(), FALSE)) return false;
  const std::string document = directory + "\\rules.json";
  DeleteFileA(document.c_str());
  return rules < 0 || WriteRulesFile(document, rules);
}

struct Baseline {
  double painted = 0;  // ms
  double memory = 0;   // KiB
};

// The empty program: bare process start, and start to its painted window.
bool MeasureBaseline(const std::string& noop, int runs, Baseline& baseline) {
  std::vector<double> bare;
  TimeToExit(noop, "/exit");
  for (int i = 0; i < runs; ++i) {
    const double seconds = TimeToExit(noop, "/exit");
    if (seconds >= 0) bare.push_back(seconds * 1000);
  }
  const Samples window = RunCase("empty window program", noop, "", "", {"KorvalinBenchEmpty", -1}, runs);
  if (bare.size() != static_cast<size_t>(runs) || window.failures) return false;
  baseline = {Median(window.painted), Median(window.memory)};
  Report("startup", "empty program, no window: start to exit", Median(bare), "ms", MedianOf(bare));
  Report("startup", "empty window program (Korvalin's manifest): start to painted window", baseline.painted, "ms",
         MedianOf(window.painted) + "; the baseline");
  Report("startup", "empty window program: private memory", baseline.memory, "KiB", "the empty start");
  Report("startup", "empty window program: WM_CLOSE to exit", Median(window.exit), "ms");
  return true;
}

void ReportBuiltIn(const Samples& s, const Baseline& baseline) {
  const double painted = Median(s.painted);
  Report("startup", "Korvalin, built-in rules: start to painted rows", painted, "ms",
         MedianOf(s.painted) + "; paint seen pending in " + std::to_string(s.pending));
  Report("startup", "Korvalin, built-in rules: beyond the empty window program", painted - baseline.painted, "ms",
         "target <= 100 ms");
  Report("startup", "Korvalin, built-in rules: private memory beyond the empty start",
         Median(s.memory) - baseline.memory, "KiB");
  Report("startup", "Korvalin, built-in rules: WM_CLOSE to exit", Median(s.exit), "ms");
}

void ReportScale(int rules, const Samples& s, const Baseline& baseline) {
  const std::string what = std::to_string(rules) + " rules: ";
  const double painted = Median(s.painted), memory = Median(s.memory) - baseline.memory;
  char perRule[96];
  std::snprintf(perRule, sizeof perRule, "%.2f KiB a rule; target <= 2 KB a rule", memory / rules);
  Report("scale", what + "start to painted rows", painted, "ms",
         MedianOf(s.painted) + "; paint seen pending in " + std::to_string(s.pending) +
             (rules == 10000 ? "; target <= 2000 ms" : ""));
  Report("scale", what + "beyond the empty window program", painted - baseline.painted, "ms");
  Report("scale", what + "private memory beyond the empty start", memory, "KiB", perRule);
  Report("scale", what + "WM_CLOSE to exit", Median(s.exit), "ms", "target <= 200 ms");
}

// How 1,000 rules grow into 10,000: time and memory.
void ReportGrowth(const Samples& thousand, const Samples& tenThousand, const Baseline& baseline) {
  const double a = Median(thousand.painted), b = Median(tenThousand.painted);
  char beyond[96];
  std::snprintf(beyond, sizeof beyond, "target <= 12; beyond the empty window program %.2f times",
                (b - baseline.painted) / (a - baseline.painted));
  Report("scale", "start to painted rows, 1,000 to 10,000 rules", b / a, "times", beyond);
  Report("scale", "private memory a further rule, 1,000 to 10,000 rules",
         (Median(tenThousand.memory) - Median(thousand.memory)) / 9000, "KiB", "the slope, without the fixed part");
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
  Baseline baseline;
  if (!MeasureBaseline(noop, runs, baseline)) {
    std::fprintf(stderr, "the empty program failed to start or to end\n");
    return 1;
  }
  const int cases[] = {-1, 10, 100, 1000, 10000};
  std::vector<Samples> results;
  int failures = 0;
  for (int rules : cases) {
    const std::string directory = work + "\\" + (rules < 0 ? std::string("builtin") : std::to_string(rules));
    if (!CopyProgram(program, directory, rules)) {
      std::fprintf(stderr, "cannot prepare %s\n", directory.c_str());
      return 1;
    }
    const std::string name = rules < 0 ? "built-in rules" : std::to_string(rules) + " rules";
    const long rows = 1 + (rules < 0 ? 3 : rules);
    results.push_back(
        RunCase(name.c_str(), directory + "\\Korvalin.exe", directory, "", {"SysPath_Mirt_Main", rows}, runs));
    failures += results.back().failures;
    if (results.back().painted.empty()) continue;
    if (rules < 0) ReportBuiltIn(results.back(), baseline);
    else ReportScale(rules, results.back(), baseline);
  }
  if (!results[3].painted.empty() && !results[4].painted.empty()) ReportGrowth(results[3], results[4], baseline);
  return failures ? 1 : 0;
}
