#include "migrate/folder_operation.h"

#include "migrate/files_move.h"
#include "migrate/place_identity.h"
#include "registry/registry.h"
#include "rules/path_check.h"

namespace korvalin {
namespace {

bool IsDriveRoot(const std::string& path) {
  return path.size() >= 2 && path[path.size() - 2] == ':' && path.back() == '\\';
}

bool WriteValue(const FolderRule& rule, const std::string& directory) {
  return WriteRegistryText(rule.root, rule.valuePath().c_str(), directory.data(),
                           static_cast<int32_t>(directory.size()));
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

bool RefuseSamePlace(const FolderRule& rule, const std::string& directory, OperationHost& host) {
  // Copying into the old place itself, or into a folder inside it, and then
  // emptying the old place would destroy the files.
  const PlaceRelation relation = RelatePlaces(directory, rule.currentDir);
  if (relation != PlaceRelation::kSame && relation != PlaceRelation::kInside) return false;
  host.tell("错误", "新目录不能是当前目录，也不能位于当前目录之内！", NoticeIcon::kError);
  return true;
}

bool DeclineMerge(const std::string& directory, const RuleSet& others, OperationHost& host) {
  for (const FolderRule& other : others) {
    if (!other.valid() || RelatePlaces(directory, other.currentDir) == PlaceRelation::kSeparate) continue;
    const std::string warning = "新目录'" + directory + "'与'" + other.title + "'的目录'" + other.currentDir +
                                "'相同或相互包含。继续后两个文件夹将共用同一位置，以后无法再通过恢复将它们分开。"
                                "\r\n确定仍要继续吗？";
    if (!host.ask(Question::kConfirmMerge, warning)) return true;
  }
  return false;
}

OperationResult ChangeFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host) {
  if (RefuseInvalidRule(rule, host)) return Unswitched(Outcome::kRefused);
  std::string chosen = host.chooseNewDirectory("选择新的'" + rule.title + "'目录");
  if (chosen.empty()) return Unswitched(Outcome::kCancelled);
  if (IsDriveRoot(chosen)) {
    host.tell("错误", "无法将目录选择为磁盘根目录！", NoticeIcon::kError);
    return Unswitched(Outcome::kRefused);
  }
  if (RefuseUnusableDirectory(chosen, DirectoryRole::kChosen, host) || RefuseSamePlace(rule, chosen, host))
    return Unswitched(Outcome::kRefused);
  if (DeclineMerge(chosen, others, host)) return Unswitched(Outcome::kCancelled);
  if (!host.ask(Question::kConfirmChange, "将'" + rule.title + "'路径移动到'" + chosen + "'，请确认？"))
    return Unswitched(Outcome::kCancelled);
  return ApplyNewDirectory(rule, chosen, host);
}

OperationResult ApplyNewDirectory(const FolderRule& rule, const std::string& newDirectory, OperationHost& host) {
  // Checked by the callers before they ask; a tail reached otherwise still
  // writes, copies and clears nothing through such a path.
  if (RefuseInvalidRule(rule, host) || RefuseUnusableDirectory(newDirectory, DirectoryRole::kChosen, host) ||
      RefuseSamePlace(rule, newDirectory, host))
    return Unswitched(Outcome::kRefused);
  if (rule.moveFiles) return MoveWithFiles(rule, newDirectory, host);
  if (!WriteValue(rule, newDirectory)) {
    host.tell("修改失败", "修改目录时发生错误，修改失败！", NoticeIcon::kFailure);
    return Unswitched(Outcome::kWriteFailed);
  }
  return {Outcome::kDone, true, newDirectory};
}

}  // namespace korvalin
