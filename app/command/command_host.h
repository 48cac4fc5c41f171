// What a command answers for the window: the questions a window would ask,
// answered by the arguments, and what an operation's result means as an
// exit code.
#pragma once

#include <string>
#include <vector>

#include "app/command/command_output.h"
#include "migrate/folder_operation.h"

namespace korvalin {

// The arguments' answers: the command itself is the confirmation; files of
// the same name are replaced only with `replace`, the old directory emptied
// only with `clear`.
struct CommandAnswers {
  std::string directory;  // the new directory
  bool replace = false;
  bool clear = false;
};

class CommandHost final : public OperationHost {
 public:
  CommandHost(const CommandAnswers& answers, CommandOutput& out) : answers_(answers), out_(out) {}

  std::string chooseNewDirectory(const std::string&) override { return answers_.directory; }
  bool ask(Question question, const std::string& text) override;
  void tell(const std::string& instruction, const std::string& content, NoticeIcon) override;
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) override;

 private:
  const CommandAnswers& answers_;
  CommandOutput& out_;
};

// The exit code of an operation's result; a step refused for want of
// rights has a code of its own.
int ExitCodeOf(const OperationResult& result);

// Says what a code that is not 0 asks of whoever runs the command, where
// the operation's own messages do not.
void ExplainExitCode(int code, CommandOutput& out);

// The rule set, with a word when rules.json was passed over.
RuleSet ReadRulesTelling(CommandOutput& out);

// A log inside a folder being moved would be copied half-written, and would
// be one of the files the clear weighs: true when `log` is one of the
// directories or lies inside one.
bool LogLiesIn(const std::string& log, const std::vector<std::string>& directories);

// Opens the command's log, unless it lies in one of the directories; false,
// having said why, when the command must end with kExitBadArguments.
bool OpenLogAwayFrom(const std::string& log, const std::vector<std::string>& directories, CommandOutput& out);

}  // namespace korvalin
