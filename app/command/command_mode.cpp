#include "app/command/command_mode.h"

#include "app/session/account_check.h"
#include "app/command/command_apply.h"
#include "app/command/command_host.h"
#include "app/command/command_list.h"
#include "app/command/command_output.h"
#include "app/dialogs/task_dialog.h"
#include "migrate/interrupted_move.h"
#include "migrate/place_identity.h"
#include "migrate/restore_default.h"
#include "migrate/shell_restart.h"
#include "rules/rule_set.h"

namespace korvalin {
namespace {

int RunOperation(const CommandLine& line, CommandOutput& out) {
  RuleSet others = ReadRulesTelling(out);
  auto found = others.begin();
  while (found != others.end() && !SameRegistryName(found->name, line.name)) ++found;
  if (found == others.end()) {
    if (!line.logFile.empty()) out.openLog(line.logFile);
    out.line("no rule names the folder " + line.name + " (see /list)");
    return kExitBadArguments;
  }
  FolderRule rule = *found;
  others.erase(found);
  const std::string newDirectory = line.mode == CommandLine::Mode::kMove ? line.directory : DefaultDirectoryOf(rule);
  if (!OpenLogAwayFrom(line.logFile, {rule.currentDir, newDirectory}, out)) return kExitBadArguments;
  rule.moveFiles = line.files;
  const CommandAnswers answers{line.directory, line.replace, line.clear};
  CommandHost host(answers, out);
  const OperationResult result = line.mode == CommandLine::Mode::kMove ? ChangeFolder(rule, others, host)
                                                                        : RestoreFolder(rule, others, host);
  if (result.switched) {
    out.line(rule.name + " -> " + result.newDirectory);
    if (line.restartShell) RestartShell();
  }
  if (result.outcome == Outcome::kNothingToDo) out.line(rule.name + " already there: " + rule.currentDir);
  const int code = ExitCodeOf(result);
  ExplainExitCode(code, out);
  return code;
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
  const bool changes = line.mode == CommandLine::Mode::kMove || line.mode == CommandLine::Mode::kRestore ||
                       line.mode == CommandLine::Mode::kApply;
  // A command that changes folders opens its log once it knows where the
  // folders' places are.
  if (logged && !changes && !out.openLog(line.logFile)) {
    out.line("cannot write the log file " + line.logFile);
    return kExitBadArguments;
  }
  if (changes && !alone) {
    if (logged) out.openLog(line.logFile);
    out.line("另一个 Korvalin 正在从同一目录运行（可能正在迁移文件），请等它结束后再试。");
    return kExitAnotherRunning;
  }
  if (changes && !line.asThisAccount) {
    const AccountCheck account = CheckAccount();
    if (account.other) {
      if (logged) out.openLog(line.logFile);
      out.line(OtherAccountText(account) + " 未作任何修改。要移动这个账户的文件夹，请加上 /as-this-account。");
      return kExitOtherAccount;
    }
  }
  if (alone && InterruptedMoveFound())
    out.line("上次迁移未完成，记录在 Move.data 中；不带参数启动 Korvalin 可查看并处理。");
  switch (line.mode) {
    case CommandLine::Mode::kList: return ListRules(out, line.json);
    case CommandLine::Mode::kMove:
    case CommandLine::Mode::kRestore: return RunOperation(line, out);
    case CommandLine::Mode::kApply: return ApplyLayout(line, out);
    case CommandLine::Mode::kBadArguments:
    case CommandLine::Mode::kWindow: break;
  }
  ShowUsage(line, out, logged);
  return kExitBadArguments;
}

}  // namespace korvalin
