#include "migrate/folder_operation.h"

#include "migrate/copy_check.h"
#include "migrate/folder_copy.h"
#include "migrate/path_text.h"
#include "registry/registry.h"
#include "rules/path_check.h"

namespace korvalin {
namespace {

bool IsDriveRoot(const std::string& path) {
  return path.size() >= 2 && path[path.size() - 2] == ':' && path.back() == '\\';
}

// Copies, then offers to empty the old place only when every file is safely
// at the new one; otherwise the old files stay and the user is told so.
bool MoveFiles(const std::string& from, const std::string& to, OperationHost& host) {
  if (!CopyFolderTree(from.c_str(), to.c_str()) || !TreeCopiedTo(from.c_str(), to.c_str())) {
    host.tell("文件未能全部迁移", "部分文件未能复制到新目录，原目录中的文件已全部保留，未作删除。", NoticeIcon::kFailure);
    return false;
  }
  if (host.ask(Question::kClearOldDirectory, "文件已迁移完成，是否将原目录文件清空？")) ClearDirectory(from.c_str());
  return true;
}

}  // namespace

bool RefuseInvalidRule(const FolderRule& rule, OperationHost& host) {
  if (rule.valid()) return false;
  switch (rule.problem) {
    case RuleProblem::kUnrepresentable:
      host.tell("错误", "该目录的路径或注册表名称含有当前系统无法表示的字符，无法安全处理，未作任何修改！",
                NoticeIcon::kError);
      break;
    case RuleProblem::kRelative:
      host.tell("错误", "该目录的路径不是完整路径，无法安全处理，未作任何修改！", NoticeIcon::kError);
      break;
    case RuleProblem::kNone:
    case RuleProblem::kBroken:
      host.tell("错误", "该条设置规则无效！无法修改...", NoticeIcon::kError);
      break;
  }
  return true;
}

bool RefuseUnusableDirectory(const std::string& directory, DirectoryRole role, OperationHost& host) {
  const PathProblem problem = ProblemOfPath(directory);
  if (problem == PathProblem::kNone) return false;
  const bool chosen = role == DirectoryRole::kChosen;
  if (problem == PathProblem::kUnrepresentable) {
    host.tell("错误",
              chosen ? "所选目录的路径含有当前系统无法表示的字符，无法使用，未作任何修改！"
                     : "默认目录的路径含有当前系统无法表示的字符，无法恢复，未作任何修改！",
              NoticeIcon::kError);
  } else {
    host.tell("错误",
              chosen ? "新目录必须是完整路径（盘符、冒号和反斜杠，或以 \\\\ 开头的网络路径），未作任何修改！"
                     : "默认目录不是完整路径，无法恢复，未作任何修改！",
              NoticeIcon::kError);
  }
  return true;
}

OperationResult ChangeFolder(const FolderRule& rule, OperationHost& host) {
  if (RefuseInvalidRule(rule, host)) return Unswitched(Outcome::kRefused);
  std::string chosen = host.chooseNewDirectory("选择新的'" + rule.title + "'目录");
  if (chosen.empty()) return Unswitched(Outcome::kCancelled);
  if (IsDriveRoot(chosen)) {
    host.tell("错误", "无法将目录选择为磁盘根目录！", NoticeIcon::kError);
    return Unswitched(Outcome::kRefused);
  }
  if (RefuseUnusableDirectory(chosen, DirectoryRole::kChosen, host)) return Unswitched(Outcome::kRefused);
  if (!host.ask(Question::kConfirmChange, "将'" + rule.title + "'路径移动到'" + chosen + "'，请确认？"))
    return Unswitched(Outcome::kCancelled);
  return ApplyNewDirectory(rule, chosen, host);
}

OperationResult ApplyNewDirectory(const FolderRule& rule, const std::string& newDirectory, OperationHost& host) {
  // Checked by the callers before they ask; a tail reached otherwise still
  // writes, copies and clears nothing through such a path.
  if (RefuseInvalidRule(rule, host) || RefuseUnusableDirectory(newDirectory, DirectoryRole::kChosen, host))
    return Unswitched(Outcome::kRefused);
  // Copying into the old place itself, or into a folder inside it, and then
  // emptying the old place would destroy the files.
  if (IsSameOrInside(newDirectory.c_str(), rule.currentDir.c_str())) {
    host.tell("错误", "新目录不能是当前目录，也不能位于当前目录之内！", NoticeIcon::kError);
    return Unswitched(Outcome::kRefused);
  }
  if (!WriteRegistryText(rule.root, rule.valuePath().c_str(), newDirectory.data(),
                         static_cast<int32_t>(newDirectory.size()))) {
    host.tell("修改失败", "修改目录时发生错误，修改失败！", NoticeIcon::kFailure);
    return Unswitched(Outcome::kWriteFailed);
  }
  OperationResult result{Outcome::kDone, true, newDirectory};
  if (rule.moveFiles && !MoveFiles(rule.currentDir, newDirectory, host)) result.outcome = Outcome::kCopyFailed;
  return result;
}

}  // namespace korvalin
