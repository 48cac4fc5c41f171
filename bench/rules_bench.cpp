// Rule loading (LoadRuleSet into a fresh list, and its parts) and single
// evaluations of the script-engine reader. A load that gives the wrong
// number of rows fails the group; its time enters no median.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main/globals.h"
#include "app/dialogs/window_host.h"
#include "app/list/rule_rows.h"
#include "bench/bench_support.h"
#include "bench/bench_window.h"
#include "bench/benchmarks.h"
#include "encoding/program_files.h"
#include "encoding/wide_text.h"
#include "rules/builtin_rules.h"
#include "rules/script_json_reader.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"

namespace korvalin::bench {
namespace {

std::string RulesPath() { return PathBesideProgram("rules.json"); }

// Seconds for one LoadRuleSet into a new list; -1 when the rows are wrong.
double TimeLoad(int expectedRows) {
  ListWindow window(&folderList);
  const double start = Now();
  WindowHost host(nullptr, "Korvalin");
  const bool loaded = LoadRuleSet(*folderList, host);
  const double elapsed = Now() - start;
  const int rows = window.list()->getRowCount();
  if (loaded && rows == expectedRows) return elapsed;
  std::fprintf(stderr, "rule load gave %d rows, not %d\n", rows, expectedRows);
  return -1;
}

// False when any load gave the wrong rows.
bool LoadRules(const std::string& path) {
  const int counts[] = {-1, 10, 100, 1000, 10000};
  bool right = true;
  for (int count : counts) {
    DeleteFileA(path.c_str());
    if (count >= 0 && !WriteRulesFile(path, count)) return false;
    const int rows = 1 + (count < 0 ? 3 : count);
    std::vector<double> samples;
    right &= TimeLoad(rows) >= 0;  // binds every declared function on the way
    for (int i = 0; i < 3; ++i) {
      const double seconds = TimeLoad(rows);
      if (seconds < 0) right = false;
      else samples.push_back(seconds);
    }
    if (samples.empty()) continue;
    const double ms = Median(samples) * 1000;
    const std::string what = count < 0 ? std::string("built-in rules") : std::to_string(count) + " rules";
    Report("rules", "LoadRuleSet, " + what, ms, "ms", "median of " + std::to_string(samples.size()));
    Report("rules", "LoadRuleSet per rule, " + what, ms / (rows - 1), "ms");
  }
  DeleteFileA(path.c_str());
  return right;
}

void ReaderEvaluations() {
  rt::OwnedBlock document(ToWideText(kBuiltInRulesDocument, 0, false, 0));
  std::vector<double> binds;
  ScriptJsonReader reader;
  for (int i = 0; i < 5; ++i) {
    double start = Now();
    reader.bind(document.get());
    binds.push_back(Now() - start);
  }
  Report("rules", "ScriptJsonReader bind (new engine, priming, built-in document)", Median(binds) * 1000, "ms",
         "median of 5");
  constexpr int kEvaluations = 2000;
  double start = Now();
  for (int i = 0; i < kEvaluations; ++i) rt::program::Free(reader.text("regPath[1].title"));
  Report("rules", "ScriptJsonReader text(\"regPath[1].title\")", (Now() - start) * 1e6 / kEvaluations, "us",
         "mean of 2000");
  start = Now();
  for (int i = 0; i < kEvaluations; ++i) reader.value("regPath[1].root").clear();
  Report("rules", "ScriptJsonReader value(\"regPath[1].root\")", (Now() - start) * 1e6 / kEvaluations, "us",
         "mean of 2000");
  start = Now();
  for (int i = 0; i < kEvaluations; ++i) reader.length("regPath");
  Report("rules", "ScriptJsonReader length(\"regPath\")", (Now() - start) * 1e6 / kEvaluations, "us",
         "mean of 2000");
  reader.clear();
}

}  // namespace

int RunRuleBenchmarks() {
  bool right = true;
  for (int count : {1000, 10000}) {
    if (!LoadBreakdown(RulesPath(), count)) {
      std::fprintf(stderr, "the %d-rule breakdown did not come out whole\n", count);
      right = false;
    }
  }
  right &= LoadRules(RulesPath());
  ReaderEvaluations();
  if (!EngineMemoryPerEvaluation()) {
    std::fprintf(stderr, "the script control alone could not be measured\n");
    right = false;
  }
  return right ? 0 : 1;
}

}  // namespace korvalin::bench
