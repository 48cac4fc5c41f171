// Rule loading alone (LoadRuleSet into a fresh list) and one evaluation of
// the script-engine reader.
#include <string>
#include <vector>

#include "app/globals.h"
#include "encoding/text_encoding.h"
#include "registry/registry.h"
#include "bench/bench_support.h"
#include "bench/bench_window.h"
#include "bench/benchmarks.h"
#include "rules/builtin_rules.h"
#include "app/rule_rows.h"
#include "rules/script_json_reader.h"
#include "runtime/command_calls.h"
#include "runtime/owned_value.h"
#include "runtime/program_calls.h"

namespace korvalin::bench {
namespace {

std::string RulesPath() {
  rt::OwnedText directory(rt::cmd::GetRunDirectory());
  return std::string(directory.get()) + "\\rules.json";
}

// Seconds for one LoadRuleSet into a new list; rows checks the result.
double TimeLoad(int expectedRows) {
  ListWindow window(&folderList);
  double start = Now();
  LoadRuleSet();
  double elapsed = Now() - start;
  if (window.list()->getRowCount() != expectedRows) {
    std::printf("rule load gave %d rows, not %d\n", window.list()->getRowCount(), expectedRows);
    return -1;
  }
  return elapsed;
}

void LoadRules(const std::string& path) {
  const int counts[] = {-1, 10, 100, 1000};
  for (int count : counts) {
    DeleteFileA(path.c_str());
    if (count >= 0 && !WriteRulesFile(path, count)) return;
    const int rows = 1 + (count < 0 ? 3 : count);
    std::vector<double> samples;
    TimeLoad(rows);  // binds every declared function on the way
    for (int i = 0; i < 3; ++i) samples.push_back(TimeLoad(rows));
    const double ms = Median(samples) * 1000;
    const std::string what = count < 0 ? std::string("built-in rules") : std::to_string(count) + " rules";
    Report("rules", "LoadRuleSet, " + what, ms, "ms", count == 1000 ? "target < 1000 ms" : "median of 3");
    Report("rules", "LoadRuleSet per rule, " + what, ms / (rows - 1), "ms");
  }
  DeleteFileA(path.c_str());
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

// Where the time of a 1,000-rule load goes: the reader's evaluations, the
// registry reads and the rows, each alone.
void LoadBreakdown(const std::string& path) {
  constexpr int kRules = 1000;
  if (!WriteRulesFile(path, kRules)) return;
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(path.c_str()));
  DeleteFileA(path.c_str());
  ScriptJsonReader reader;
  double start = Now();
  reader.bind(bytes.get());
  Report("rules", "1000 rules: bind the document", (Now() - start) * 1000, "ms");
  start = Now();
  for (int i = 0; i < kRules; ++i) {
    const std::string prefix = "regPath[" + std::to_string(i) + "].";
    for (const char* member : {"title", "name", "path"}) rt::program::Free(reader.text((prefix + member).c_str()));
    reader.value((prefix + "root").c_str()).clear();
    reader.value((prefix + "moveFiles").c_str()).clear();
  }
  Report("rules", "1000 rules: the five evaluations of each rule", (Now() - start) * 1000, "ms");
  reader.clear();
  start = Now();
  for (int i = 0; i < kRules; ++i) {
    rt::Text stored =
        ReadRegistryText(3, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Desktop");
    rt::program::Free(ExpandEnvironmentText(stored));
    rt::program::Free(stored);
  }
  Report("rules", "1000 rules: registry read and expansion of each", (Now() - start) * 1000, "ms");
  {
    ListWindow window(&folderList);
    start = Now();
    window.addRows(kRules / 10);
    Report("rules", "1000 rules: adding the first 100 rows to the list", (Now() - start) * 1000, "ms");
    start = Now();
    window.addRows(kRules - kRules / 10 - 1);
    Report("rules", "1000 rules: adding the other 900 rows to the list", (Now() - start) * 1000, "ms");
  }
  {
    // The same with the list's redrawing off while the rows go in.
    ListWindow window(&folderList);
    start = Now();
    SendMessageA(window.handle(), WM_SETREDRAW, FALSE, 0);
    window.addRows(kRules);
    SendMessageA(window.handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window.handle(), nullptr, TRUE);
    Report("rules", "1000 rules: adding the rows with WM_SETREDRAW off", (Now() - start) * 1000, "ms",
           "what the load could do");
  }
}

}  // namespace

int RunRuleBenchmarks() {
  LoadBreakdown(RulesPath());
  LoadRules(RulesPath());
  ReaderEvaluations();
  return 0;
}

}  // namespace korvalin::bench
