#include "migrate/folder_operation.h"

#include "encoding/shown_names.h"
#include "image/declared_functions.h"
#include "migrate/files_move.h"
#include "migrate/long_path.h"
#include "migrate/place_identity.h"
#include "migrate/tree_copy.h"
#include "registry/registry.h"
#include "rules/path_check.h"

namespace korvalin {
namespace {

bool IsDriveRoot(const std::string& path) {
  return path.size() >= 2 && path[path.size() - 2] == ':' && path.back() == '\\';
}

bool WriteValue(const FolderRule& rule, const std::string& directory, LONG* status) {
  return WriteRegistryText(rule.root, rule.valuePath().c_str(), directory.data(),
                           static_cast<int32_t>(directory.size()), REG_SZ, status);
}

// What the file system says of a new directory's place: the part of it
// that exists must be a directory on a drive that is there.
enum class PlaceProblem { kNone, kNoDrive, kNotDirectory };

PlaceProblem ProblemOfPlace(const std::wstring& target, std::wstring& file) {
  const std::wstring existing = target.empty() ? std::wstring() : DeepestExisting(target);
  if (existing.empty()) return PlaceProblem::kNoDrive;
  if (dll::GetFileAttributesW(existing.c_str()) & FILE_ATTRIBUTE_DIRECTORY) return PlaceProblem::kNone;
  file = existing;
  return PlaceProblem::kNotDirectory;
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
  const bool chosen = role == DirectoryRole::kChosen;
  const std::string which = chosen ? "所选目录" : "默认目录";
  const std::string outcome = chosen ? "无法使用，未作任何修改！" : "无法恢复，未作任何修改！";
  switch (ProblemOfDirectoryName(directory)) {
    case NameProblem::kNone: break;
    case NameProblem::kRelative:
      host.tell("错误",
                chosen ? "新目录必须是完整路径（盘符、冒号和反斜杠，或以 \\\\ 开头的网络路径），未作任何修改！"
                       : "默认目录不是完整路径，无法恢复，未作任何修改！",
                NoticeIcon::kError);
      return true;
    case NameProblem::kInvalidCharacter:
      host.tell("错误",
                which + "的路径含有 Windows 不允许的字符（< > | \" * ? : 或控制字符；'?' "
                        "也可能代表当前系统无法表示的字符），" + outcome,
                NoticeIcon::kError);
      return true;
    case NameProblem::kInvalidName:
      host.tell("错误",
                which + "的路径中有 Windows 不能用作目录的名称（以空格或句点结尾，或是 CON、NUL 等设备名），" +
                    outcome,
                NoticeIcon::kError);
      return true;
  }
  std::wstring file;
  switch (ProblemOfPlace(EnginePath(directory), file)) {
    case PlaceProblem::kNone: return false;
    case PlaceProblem::kNoDrive:
      host.tell("错误", which + "'" + directory + "'所在的驱动器或网络位置不存在，" + outcome, NoticeIcon::kError);
      return true;
    case PlaceProblem::kNotDirectory:
      host.tell("错误", which + "的路径中，'" + TextForShowing(WithoutPrefix(file)) + "'是文件而不是目录，" + outcome,
                NoticeIcon::kError);
      return true;
  }
  return true;
}

bool StopAtCurrentPlace(const FolderRule& rule, const std::string& directory, OperationHost& host,
                        OperationResult& stop) {
  const PlaceRelation relation = RelatePlaces(directory, rule.currentDir);
  // Already there, however it is spelled: done, and nothing is copied, so a
  // script may run the same command every day.
  if (relation == PlaceRelation::kSame) {
    host.tell("提醒", "'" + rule.title + "'已经位于'" + directory + "'，无需移动，未作任何修改。", NoticeIcon::kQuestion);
    stop = Unswitched(Outcome::kNothingToDo);
    return true;
  }
  // Copying into a folder inside the old place and then emptying the old
  // place would destroy the files.
  if (relation != PlaceRelation::kInside) return false;
  host.tell("错误", "新目录不能是当前目录，也不能位于当前目录之内！", NoticeIcon::kError);
  stop = Unswitched(Outcome::kRefused);
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

bool DeclineReplacing(const PreparedMove& move, OperationHost& host) {
  if (!move.withFiles || move.survey.replaced == 0) return false;
  const std::string warning = "新目录'" + move.newDirectory + "'中已有 " + std::to_string(move.survey.replaced) +
                              " 个与原目录中同名的文件（例如'" + TextForShowing(move.survey.example) +
                              "'），继续将用原目录中的文件替换它们。\r\n确定要替换吗？";
  return !host.ask(Question::kReplaceFiles, warning);
}

bool PrepareMove(const FolderRule& rule, const std::string& newDirectory, DirectoryRole role, OperationHost& host,
                 PreparedMove& move, OperationResult& refusal) {
  refusal = Unswitched(Outcome::kRefused);
  if (RefuseInvalidRule(rule, host) || RefuseUnusableDirectory(newDirectory, role, host) ||
      StopAtCurrentPlace(rule, newDirectory, host, refusal))
    return false;
  move.newDirectory = newDirectory;
  move.target = EnginePath(newDirectory);
  move.withFiles = rule.moveFiles;
  return !move.withFiles || PrepareFilesMove(rule, move, host, refusal);
}

OperationResult ChangeFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host) {
  if (RefuseInvalidRule(rule, host)) return Unswitched(Outcome::kRefused);
  std::string chosen = host.chooseNewDirectory("选择新的'" + rule.title + "'目录");
  if (chosen.empty()) return Unswitched(Outcome::kCancelled);
  if (IsDriveRoot(chosen)) {
    host.tell("错误", "无法将目录选择为磁盘根目录！", NoticeIcon::kError);
    return Unswitched(Outcome::kRefused);
  }
  PreparedMove move;
  OperationResult refusal;
  if (!PrepareMove(rule, chosen, DirectoryRole::kChosen, host, move, refusal)) return refusal;
  if (DeclineMerge(chosen, others, host) || DeclineReplacing(move, host)) return Unswitched(Outcome::kCancelled);
  if (!host.ask(Question::kConfirmChange, "将'" + rule.title + "'路径移动到'" + chosen + "'，请确认？"))
    return Unswitched(Outcome::kCancelled);
  return ApplyNewDirectory(rule, move, host);
}

OperationResult ApplyNewDirectory(const FolderRule& rule, PreparedMove& move, OperationHost& host) {
  if (move.withFiles) return MoveWithFiles(rule, move, host);
  // A value must name a directory that is there.
  if (!MakeDirectoryPath(move.target)) {
    OperationResult refused = Unswitched(Outcome::kRefused);
    refused.accessDenied = dll::GetLastError() == ERROR_ACCESS_DENIED;
    host.tell("修改失败", "无法创建新目录'" + move.newDirectory + "'，文件夹未迁移！", NoticeIcon::kFailure);
    return refused;
  }
  LONG status = ERROR_SUCCESS;
  if (!WriteValue(rule, move.newDirectory, &status)) {
    OperationResult failed = Unswitched(Outcome::kWriteFailed);
    failed.accessDenied = status == ERROR_ACCESS_DENIED;
    host.tell("修改失败", "修改目录时发生错误，修改失败！", NoticeIcon::kFailure);
    return failed;
  }
  return {Outcome::kDone, true, move.newDirectory};
}

}  // namespace korvalin
