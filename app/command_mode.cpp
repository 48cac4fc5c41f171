#include "app/command_mode.h"

#include "app/command_output.h"
#include "app/task_dialog.h"
#include "encoding/text_encoding.h"
#include "migrate/interrupted_move.h"
#include "migrate/place_identity.h"
#include "migrate/restore_default.h"
#include "migrate/shell_restart.h"
#include "rules/rule_set.h"

namespace korvalin {
namespace {

// The window's questions answered by the arguments: the command itself is
// the confirmation, and the old directory is emptied only with /clear.
class CommandHost final : public OperationHost {
 public:
  CommandHost(const CommandLine& line, CommandOutput& out) : line_(line), out_(out) {}

  std::string chooseNewDirectory(const std::string&) override { return line_.directory; }

  bool ask(Question question, const std::string& text) override {
    if (question == Question::kConfirmMerge || question == Question::kPutBackOldValue) {
      out_.line(text + " -> no (the command line does not take this on itself)");
      return false;
    }
    if (question == Question::kReplaceFiles) {
      out_.line(text + (line_.replace ? " -> yes" : " -> no (without /replace)"));
      return line_.replace;
    }
    const bool yes = question != Question::kClearOldDirectory || line_.clear;
    out_.line(text + (yes ? " -> yes" : " -> no (without /clear)"));
    return yes;
  }

  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) override {
    CopyReport report = copy();
    out_.line("copied " + std::to_string(progress.filesDone()) + " of " + std::to_string(progress.filesTotal()) +
              " files");
    return report;
  }

  void tell(const std::string& instruction, const std::string& content, NoticeIcon) override {
    out_.line(instruction + ": " + content);
  }

 private:
  const CommandLine& line_;
  CommandOutput& out_;
};

int ExitCodeOf(const OperationResult& result) {
  switch (result.outcome) {
    case Outcome::kDone: return result.oldPlaceKept ? kExitOldPlaceKept : kExitDone;
    case Outcome::kNothingToDo: return kExitDone;
    case Outcome::kCopyFailed: return kExitCopyFailed;
    case Outcome::kWriteFailed: return kExitWriteFailed;
    case Outcome::kRefused:
    case Outcome::kCancelled: break;
  }
  return kExitRefused;
}

// The rule set, with a word when rules.json was passed over.
RuleSet ReadRules(CommandOutput& out) {
  LoadedRules loaded = ReadRuleSet();
  if (loaded.source == RulesSource::kBuiltInTooLarge)
    out.line("rules.json 文件超过 16 MB，未读取，已改用内置的目录规则。");
  if (loaded.source == RulesSource::kBuiltInTimedOut)
    out.line("rules.json 在 8 秒内未能读完，已改用内置的目录规则。");
  return std::move(loaded.rules);
}

int ListRules(CommandOutput& out) {
  for (const FolderRule& rule : ReadRules(out))
    out.line(rule.title + "\t" + rule.name + "\t" + rule.currentDir + "\t" + (rule.valid() ? "valid" : "invalid"));
  return kExitDone;
}

// A log inside a folder being moved would be copied half-written, and
// would be one of the files the clear weighs.
bool LogInsideTheMove(const std::string& log, const FolderRule& rule, const std::string& newDirectory) {
  for (const std::string& directory : {rule.currentDir, newDirectory}) {
    if (directory.empty()) continue;
    const PlaceRelation relation = RelatePlaces(log, directory);
    if (relation == PlaceRelation::kSame || relation == PlaceRelation::kInside) return true;
  }
  return false;
}

int RunOperation(const CommandLine& line, CommandOutput& out) {
  RuleSet others = ReadRules(out);
  auto found = others.begin();
  while (found != others.end() && !SameRegistryName(found->name, line.name)) ++found;
  if (found == others.end()) {
    if (!line.logFile.empty()) out.openLog(line.logFile);
    out.line("no rule names the folder " + line.name + " (see /list)");
    return kExitBadArguments;
  }
  FolderRule rule = *found;
  others.erase(found);
  if (!line.logFile.empty()) {
    const std::string newDirectory =
        line.mode == CommandLine::Mode::kMove ? line.directory : DefaultDirectoryOf(rule);
    if (LogInsideTheMove(line.logFile, rule, newDirectory)) {
      out.line("the log file " + line.logFile + " lies in the folder's current or new directory; choose another place");
      return kExitBadArguments;
    }
    if (!out.openLog(line.logFile)) {
      out.line("cannot write the log file " + line.logFile);
      return kExitBadArguments;
    }
  }
  rule.moveFiles = line.files;
  CommandHost host(line, out);
  const OperationResult result = line.mode == CommandLine::Mode::kMove ? ChangeFolder(rule, others, host)
                                                                        : RestoreFolder(rule, others, host);
  if (result.switched) {
    out.line(rule.name + " -> " + result.newDirectory);
    if (line.restartShell) RestartShell();
  }
  return ExitCodeOf(result);
}

// Without a console, and without a log, the usage text would reach no one:
// someone started the program with arguments it does not know.
void ShowUsage(const CommandLine& line, CommandOutput& out, bool logged) {
  if (out.reachesConsole() || logged) {
    out.line(line.problem);
    out.line(UsageText());
    return;
  }
  ShowTaskDialog(nullptr, "Korvalin", line.problem.c_str(), UsageText(), kButtonsClose, IconOrdinal(6));
}

}  // namespace

int RunCommand(const CommandLine& line, bool alone) {
  CommandOutput out;
  const bool logged = !line.logFile.empty();
  const bool moves = line.mode == CommandLine::Mode::kMove || line.mode == CommandLine::Mode::kRestore;
  // A move opens its log once it knows where the folder's places are.
  if (logged && !moves && !out.openLog(line.logFile)) {
    out.line("cannot write the log file " + line.logFile);
    return kExitBadArguments;
  }
  if (moves && !alone) {
    if (logged) out.openLog(line.logFile);
    out.line("另一个 Korvalin 正在从同一目录运行（可能正在迁移文件），请等它结束后再试。");
    return kExitAnotherRunning;
  }
  if (alone && InterruptedMoveFound())
    out.line("上次迁移未完成，记录在 Move.data 中；不带参数启动 Korvalin 可查看并处理。");
  switch (line.mode) {
    case CommandLine::Mode::kList: return ListRules(out);
    case CommandLine::Mode::kMove:
    case CommandLine::Mode::kRestore: return RunOperation(line, out);
    case CommandLine::Mode::kBadArguments:
    case CommandLine::Mode::kWindow: break;
  }
  ShowUsage(line, out, logged);
  return kExitBadArguments;
}

}  // namespace korvalin
