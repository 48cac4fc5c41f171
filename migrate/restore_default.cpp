#include "migrate/restore_default.h"

#include "registry/registry.h"

namespace korvalin {
namespace {

constexpr int32_t kLocalMachine = 4;

}  // namespace

std::string DefaultDirectoryOf(const FolderRule& rule) {
  return ReadExpandedRegistryText(kLocalMachine, (rule.path + "\\Backup\\" + rule.name).c_str());
}

OperationResult RestoreFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host) {
  if (RefuseInvalidRule(rule, host)) return Unswitched(Outcome::kRefused);
  const std::string defaultDirectory = DefaultDirectoryOf(rule);
  // Without a default there is nothing to point the folder at: writing an
  // empty value and emptying the old place would lose setting and files.
  if (defaultDirectory.empty()) {
    host.tell("提醒", "未找到该目录的默认路径，无法恢复，未作任何修改！", NoticeIcon::kQuestion);
    return Unswitched(Outcome::kRefused);
  }
  if (defaultDirectory == rule.currentDir) {
    host.tell("提醒", "当前设置路径为默认路径，无需恢复！", NoticeIcon::kQuestion);
    return Unswitched(Outcome::kNothingToDo);
  }
  // Only the same spelling counts as already restored; a default that is the
  // same place under another spelling is refused before anything is asked.
  PreparedMove move;
  OperationResult refusal;
  if (!PrepareMove(rule, defaultDirectory, DirectoryRole::kDefault, host, move, refusal)) return refusal;
  if (DeclineMerge(defaultDirectory, others, host) || DeclineReplacing(move, host))
    return Unswitched(Outcome::kCancelled);
  if (!host.ask(Question::kConfirmRestore,
                "确认将'" + rule.title + "'恢复成默认目录吗？\r\n默认目录：" + defaultDirectory))
    return Unswitched(Outcome::kCancelled);
  return ApplyNewDirectory(rule, move, host);
}

}  // namespace korvalin
