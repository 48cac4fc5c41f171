#include "migrate/interrupted_move.h"

#include "migrate/move_journal.h"
#include "registry/registry.h"
#include "rules/path_check.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

const char* StageText(MoveStage stage) {
  switch (stage) {
    case MoveStage::kSwitching: return "正在修改注册表";
    case MoveStage::kClearing: return "正在清空原目录";
    case MoveStage::kCopying: break;
  }
  return "正在复制文件";
}

const char* RootName(int32_t root) {
  switch (root) {
    case 1: return "HKEY_CLASSES_ROOT";
    case 2: return "HKEY_CURRENT_CONFIG";
    case 3: return "HKEY_CURRENT_USER";
    case 4: return "HKEY_LOCAL_MACHINE";
    case 5: return "HKEY_USERS";
  }
  return "";
}

// The journal is a file anyone who can write beside the program can
// write: it speaks of a folder only when a loaded rule names that value.
bool NamesARule(const MoveJournal& journal, const RuleSet& rules) {
  for (const FolderRule& rule : rules)
    if (rule.valid() && rule.root == journal.root && SameRegistryName(rule.name, journal.name) &&
        SameRegistryName(rule.path, journal.path))
      return true;
  return false;
}

// The old value is put back only as a text naming a usable directory.
bool OldValueUsable(const MoveJournal& journal) {
  if (journal.oldType != REG_SZ && journal.oldType != REG_EXPAND_SZ) return false;
  if (journal.oldValue.empty()) return false;
  rt::Text text = rt::CopyText(std::string_view(journal.oldValue));
  rt::OwnedText expanded(ExpandEnvironmentText(text));
  rt::OwnedText original(text);
  return ProblemOfDirectoryName(rt::TextOf(expanded)) == NameProblem::kNone;
}

// The value as stored now; empty when it cannot be read.
std::string StoredValue(const MoveJournal& journal) {
  rt::OwnedText stored(ReadRegistryText(journal.root, (journal.path + "\\" + journal.name).c_str()));
  return rt::TextOf(stored);
}

void PutBack(const MoveJournal& journal, OperationHost& host) {
  const std::string question = "是否将注册表中的值改回迁移之前的设置？\r\n键：" + std::string(RootName(journal.root)) +
                               "\\" + journal.path + "\r\n值：" + journal.name + "\r\n将写入：" + journal.oldValue +
                               (journal.oldType == REG_EXPAND_SZ ? "（REG_EXPAND_SZ）" : "（REG_SZ）");
  if (!host.ask(Question::kPutBackOldValue, question)) return;
  const bool written = WriteRegistryText(journal.root, (journal.path + "\\" + journal.name).c_str(),
                                         journal.oldValue.data(), static_cast<int32_t>(journal.oldValue.size()),
                                         journal.oldType);
  if (written) host.tell("提醒", "已改回原来的设置，重新启动资源管理器或注销后生效。", NoticeIcon::kQuestion);
  else host.tell("修改失败", "修改目录时发生错误，修改失败！", NoticeIcon::kFailure);
}

}  // namespace

bool InterruptedMoveFound() { return ReadMoveJournal().has_value(); }

void ExplainInterruptedMove(const RuleSet& rules, OperationHost& host) {
  const std::optional<MoveJournal> journal = ReadMoveJournal();
  if (!journal) return;
  const bool known = NamesARule(*journal, rules);
  const std::string now = known ? StoredValue(*journal) : std::string();
  const bool switched = !now.empty() && now == journal->newDirectory;
  std::string text = "上次迁移'" + journal->title + "'时程序意外中断（" + StageText(journal->stage) + "）。\r\n";
  if (!known) {
    text += "记录中的注册表值不属于当前的目录规则，未作任何修改。";
  } else if (switched && journal->stage == MoveStage::kClearing) {
    text += "文件已全部复制到新目录'" + journal->newDirectory + "'并已校验，注册表现在指向新目录；清空原目录'" +
            journal->oldDirectory + "'时程序中断，原目录中可能还留有部分文件。";
  } else if (switched) {
    text += "文件已全部复制到新目录'" + journal->newDirectory + "'，注册表现在指向新目录；原目录'" +
            journal->oldDirectory + "'中的文件未被删除。";
  } else {
    text += "文件夹仍使用原目录'" + journal->oldDirectory + "'，原目录中的文件未被删除；新目录'" +
            journal->newDirectory + "'中可能有部分已复制的文件。";
  }
  if (known) text += "\r\n注册表当前的值：" + (now.empty() ? std::string("（无法读取）") : now);
  host.tell("上次迁移未完成", text, NoticeIcon::kFailure);
  // Once the clear has begun, the old place is no longer whole: the folder
  // stays where all of its files are.
  if (known && switched && journal->stage == MoveStage::kSwitching && OldValueUsable(*journal)) PutBack(*journal, host);
  if (!RemoveMoveJournal())
    host.tell("提醒", "无法删除程序目录中的迁移记录 Move.data，请手动删除该文件。", NoticeIcon::kFailure);
}

}  // namespace korvalin
