// Where the time of a long rule load goes, part by part in the order
// LoadRuleSet takes them: the document bound in the script engine, the five
// fields of each rule read, the registry read of each through one key
// reader, the rows added with the list's redraw held and its room reserved,
// the one paint when the hold ends, and the list going away.
#include <cstdio>
#include <string>

#include "app/main/globals.h"
#include "app/list/rule_rows.h"
#include "bench/bench_support.h"
#include "bench/bench_window.h"
#include "bench/benchmarks.h"
#include "registry/registry.h"
#include "rules/path_check.h"
#include "rules/rule_set.h"
#include "rules/script_json_reader.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin::bench {
namespace {

constexpr char kKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void ReadDirectories(RuleSet& rules) {
  RegistryKeyReader key(3, kKeyPath);
  for (FolderRule& rule : rules) {
    rule.currentDir = key.readExpanded(rule.name.c_str());
    if (ProblemOfPath(rule.currentDir) != PathProblem::kNone) rule.root = -1;
  }
}

// Times each part from the end of the one before, with what it added to
// this process's private memory.
class Parts {
 public:
  explicit Parts(int count) : what_(std::to_string(count) + " rules: ") { restart(); }
  void done(const char* part) {
    char note[64];
    std::snprintf(note, sizeof note, "private memory %+.0f KiB", (PrivateBytes(GetCurrentProcess()) - memory_) / 1024);
    Report("rules", what_ + part, (Now() - start_) * 1000, "ms", note);
    restart();
  }

 private:
  void restart() {
    memory_ = PrivateBytes(GetCurrentProcess());
    start_ = Now();
  }
  std::string what_;
  double start_ = 0, memory_ = 0;
};

}  // namespace

bool LoadBreakdown(const std::string& path, int count) {
  if (!WriteRulesFile(path, count)) return false;
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(path.c_str()));
  DeleteFileA(path.c_str());
  Parts parts(count);
  ScriptJsonReader reader;
  if (!reader.bind(bytes.get())) return false;
  parts.done("bind the document");
  RuleSet rules = ReadRules(reader);
  parts.done("the rules array evaluated once, each rule's five fields read from it");
  reader.clear();
  parts.done("the engine released");
  ReadDirectories(rules);
  parts.done("registry read and expansion of each (one key reader)");

  auto* window = new ListWindow(&folderList);
  parts.done("a new list");
  folderList->holdRedraw(true);
  folderList->addRowTitle("");
  folderList->addRowRecord(FolderRow());
  size_t titleBytes = 0;
  for (const FolderRule& rule : rules) titleBytes += rule.title.size() + 1;
  folderList->reserveRows(count + 1, static_cast<int32_t>(titleBytes));
  for (const FolderRule& rule : rules) AddRuleRow(*folderList, rule);
  parts.done("adding the rows, redraw held");
  folderList->holdRedraw(false);
  UpdateWindow(window->handle());
  parts.done("the one paint when the hold ends");
  const bool complete = folderList->getRowCount() == count + 1 && static_cast<int>(rules.size()) == count;
  delete window;
  parts.done("the list and its rows going away");
  // The same document bound and evaluated again: memory that comes back
  // for this is kept by the heap for reuse, memory that grows again leaks.
  rules.clear();
  ScriptJsonReader again;
  if (!again.bind(bytes.get())) return false;
  const bool sameCount = static_cast<int>(ReadRules(again).size()) == count;
  again.clear();
  parts.done("the document bound and evaluated a second time");
  return complete && sameCount;
}

}  // namespace korvalin::bench
