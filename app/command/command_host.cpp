#include "app/command/command_host.h"

#include "app/command/exit_codes.h"
#include "migrate/place_identity.h"
#include "rules/rule_set.h"

namespace korvalin {

bool CommandHost::ask(Question question, const std::string& text) {
  if (question == Question::kConfirmMerge || question == Question::kPutBackOldValue) {
    out_.line(text + " -> no (the command line does not take this on itself)");
    return false;
  }
  if (question == Question::kReplaceFiles) {
    out_.line(text + (answers_.replace ? " -> yes" : " -> no (without /replace)"));
    return answers_.replace;
  }
  const bool yes = question != Question::kClearOldDirectory || answers_.clear;
  out_.line(text + (yes ? " -> yes" : " -> no (without /clear)"));
  return yes;
}

void CommandHost::tell(const std::string& instruction, const std::string& content, NoticeIcon) {
  out_.line(instruction + ": " + content);
}

CopyReport CommandHost::runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) {
  CopyReport report = copy();
  out_.line("copied " + std::to_string(progress.filesDone()) + " of " + std::to_string(progress.filesTotal()) +
            " files");
  return report;
}

int ExitCodeOf(const OperationResult& result) {
  if (result.accessDenied) return kExitNeedsRights;
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

void ExplainExitCode(int code, CommandOutput& out) {
  if (code == kExitNeedsRights)
    out.line("此账户没有这一步所需的权限（拒绝访问），文件夹未迁移。请选择此账户可写的位置，或以管理员身份运行 "
             "Korvalin.exe。");
}

RuleSet ReadRulesTelling(CommandOutput& out) {
  LoadedRules loaded = ReadRuleSet();
  if (const char* notice = BuiltInRulesNotice(loaded.source)) out.line(notice);
  return std::move(loaded.rules);
}

bool LogLiesIn(const std::string& log, const std::vector<std::string>& directories) {
  for (const std::string& directory : directories) {
    if (directory.empty()) continue;
    const PlaceRelation relation = RelatePlaces(log, directory);
    if (relation == PlaceRelation::kSame || relation == PlaceRelation::kInside) return true;
  }
  return false;
}

bool OpenLogAwayFrom(const std::string& log, const std::vector<std::string>& directories, CommandOutput& out) {
  if (log.empty()) return true;
  if (LogLiesIn(log, directories)) {
    out.line("the log file " + log + " lies in a folder's current or new directory; choose another place");
    return false;
  }
  if (out.openLog(log)) return true;
  out.line("cannot write the log file " + log);
  return false;
}

}  // namespace korvalin
