#include "app/command/command_apply.h"

#include <map>

#include "app/command/command_host.h"
#include "app/command/exit_codes.h"
#include "encoding/shown_names.h"
#include "migrate/files_move.h"
#include "migrate/long_path.h"
#include "migrate/place_identity.h"
#include "migrate/shell_restart.h"
#include "rules/layout_file.h"

namespace korvalin {
namespace {

// How bad an exit code is, so that a layout ends with its worst: a failure
// over a retry, a retry over a clear that kept files, that over done.
int Severity(int code) {
  switch (code) {
    case kExitDone: return 0;
    case kExitOldPlaceKept: return 1;
    case kExitAnotherRunning: return 2;
    case kExitRefused: return 3;
    case kExitCopyFailed: return 4;
    case kExitWriteFailed: return 5;
    case kExitNeedsRights: return 6;
    case kExitOtherAccount: return 7;
  }
  return 8;
}

int Worse(int a, int b) { return Severity(a) >= Severity(b) ? a : b; }

// What the checks tell, kept for the entry's line rather than shown.
class CheckHost final : public OperationHost {
 public:
  std::string told;
  std::string chooseNewDirectory(const std::string&) override { return std::string(); }
  bool ask(Question, const std::string&) override { return false; }
  void tell(const std::string& instruction, const std::string& content, NoticeIcon) override {
    told = instruction + ": " + content;
  }
  CopyReport runCopy(const std::function<CopyReport()>&, CopyProgress&) override { return CopyReport{}; }
};

// One entry of the layout with its rule, as the checks left it.
struct Planned {
  LayoutEntry entry;
  size_t rule = 0;        // index into the rule set
  std::string directory;  // expanded
  bool alreadyThere = false;
  int64_t bytes = 0;      // what its copy needs
};

std::string EntryName(size_t index, const LayoutEntry& entry) {
  return "entry " + std::to_string(index + 1) + " (" + entry.name + ")";
}

// Every entry checked, and all of them against each other; the lines of
// every problem, or nothing when the layout may run.
std::vector<std::string> CheckLayout(const std::vector<LayoutEntry>& entries, const RuleSet& rules,
                                     std::vector<Planned>& planned, int& code) {
  std::vector<std::string> problems;
  auto refuse = [&](const std::string& line, int exit) {
    problems.push_back(line);
    code = Worse(code, exit);
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    const LayoutEntry& entry = entries[i];
    const std::string name = EntryName(i, entry);
    size_t rule = 0;
    while (rule < rules.size() && !SameRegistryName(rules[rule].name, entry.name)) ++rule;
    if (rule == rules.size()) {
      refuse(name + ": no rule names the folder " + entry.name + " (see /list)", kExitBadArguments);
      continue;
    }
    for (const Planned& earlier : planned) {
      if (earlier.rule == rule) refuse(name + ": the folder is named twice", kExitBadArguments);
    }
    if ((entry.clear || entry.replace) && !entry.files) {
      refuse(name + ": \"clear\" and \"replace\" need \"files\"", kExitBadArguments);
      continue;
    }
    Planned item{entry, rule, ExpandedDirectory(entry.directory), false, 0};
    if (item.directory.empty()) {
      refuse(name + ": the directory " + entry.directory + " names a variable that is not set", kExitRefused);
      continue;
    }
    FolderRule folder = rules[rule];
    folder.moveFiles = entry.files;
    CheckHost host;
    PreparedMove move;
    OperationResult stop;
    if (!PrepareMove(folder, item.directory, DirectoryRole::kChosen, host, move, stop)) {
      if (stop.outcome == Outcome::kNothingToDo) {
        item.alreadyThere = true;
      } else {
        refuse(name + ": " + host.told, ExitCodeOf(stop));
        continue;
      }
    } else if (move.survey.replaced > 0 && !entry.replace) {
      refuse(name + ": " + std::to_string(move.survey.replaced) + " files of the same names are at " +
                 item.directory + " (" + TextForShowing(move.survey.example) + ", ...); \"replace\": true allows it",
             kExitRefused);
      continue;
    }
    if (move.withFiles) item.bytes = move.plan.bytes;
    planned.push_back(item);
  }
  // No two folders in one place, nor in a place another folder keeps.
  for (size_t a = 0; a < planned.size(); ++a) {
    const std::string& place = planned[a].alreadyThere ? rules[planned[a].rule].currentDir : planned[a].directory;
    for (size_t b = a + 1; b < planned.size(); ++b) {
      const std::string& other = planned[b].alreadyThere ? rules[planned[b].rule].currentDir : planned[b].directory;
      if (RelatePlaces(place, other) != PlaceRelation::kSeparate)
        refuse(EntryName(a, planned[a].entry) + " and " + EntryName(b, planned[b].entry) +
                   " would share one place", kExitRefused);
    }
    for (size_t r = 0; r < rules.size(); ++r) {
      bool moved = false;
      for (const Planned& item : planned) moved = moved || item.rule == r;
      if (moved || r == planned[a].rule || !rules[r].valid()) continue;
      if (RelatePlaces(place, rules[r].currentDir) != PlaceRelation::kSeparate)
        refuse(EntryName(a, planned[a].entry) + " would share one place with '" + rules[r].title + "' (" +
                   rules[r].currentDir + ")", kExitRefused);
    }
  }
  // Room for every copy onto the same drive or share together.
  std::map<std::wstring, int64_t> needed;
  for (const Planned& item : planned)
    if (!item.alreadyThere && item.bytes > 0) needed[RootOf(EnginePath(item.directory))] += item.bytes;
  for (const auto& [root, bytes] : needed) {
    const int64_t free = FreeBytesAt(root);
    if (free >= 0 && free < bytes)
      refuse("the copies onto " + TextForShowing(WithoutPrefix(root)) + " need " + std::to_string(bytes) +
                 " bytes; " + std::to_string(free) + " are free",
             kExitRefused);
  }
  return problems;
}

}  // namespace

int ApplyLayout(const CommandLine& line, CommandOutput& out) {
  const Layout layout = ReadLayout(line.layoutFile);
  if (!layout.problem.empty()) {
    // Nothing moves, so the log may be anywhere.
    if (!line.logFile.empty()) out.openLog(line.logFile);
    out.line(layout.problem);
    return kExitBadArguments;
  }
  RuleSet rules = ReadRulesTelling(out);
  std::vector<Planned> planned;
  int code = kExitDone;
  const std::vector<std::string> problems = CheckLayout(layout.entries, rules, planned, code);
  // The log may not lie where any of the layout's folders is or will be.
  std::vector<std::string> places;
  for (const Planned& item : planned) {
    places.push_back(rules[item.rule].currentDir);
    places.push_back(item.directory);
  }
  if (!OpenLogAwayFrom(line.logFile, places, out)) return kExitBadArguments;
  if (!problems.empty()) {
    for (const std::string& problem : problems) out.line(problem);
    out.line("the layout was not applied: nothing was moved");
    return code;
  }
  bool switched = false;
  for (size_t i = 0; i < planned.size(); ++i) {
    const Planned& item = planned[i];
    FolderRule rule = rules[item.rule];
    rule.moveFiles = item.entry.files;
    RuleSet others = rules;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(item.rule));
    const CommandAnswers answers{item.directory, item.entry.replace, item.entry.clear};
    CommandHost host(answers, out);
    const OperationResult result = ChangeFolder(rule, others, host);
    const int entryCode = ExitCodeOf(result);
    code = Worse(code, entryCode);
    if (result.switched) {
      switched = true;
      rules[item.rule].currentDir = result.newDirectory;
    }
    const std::string done = result.outcome == Outcome::kNothingToDo ? "already there"
                             : result.switched                        ? "moved"
                                                                      : "not moved";
    out.line(EntryName(i, item.entry) + " -> " + item.directory + ": " + done + " (" + std::to_string(entryCode) +
             ")");
    ExplainExitCode(entryCode, out);
  }
  if (switched && line.restartShell) RestartShell();
  return code;
}

}  // namespace korvalin
