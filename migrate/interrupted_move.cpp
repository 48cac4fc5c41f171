#include "migrate/interrupted_move.h"

#include "migrate/move_journal.h"
#include "registry/registry.h"
#include "runtime/owned_value.h"
#include "runtime/value_helpers.h"

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

// The value as stored now; empty when it cannot be read.
std::string StoredValue(const MoveJournal& journal) {
  if (journal.root < 1 || journal.root > 5) return std::string();
  rt::OwnedText stored(ReadRegistryText(journal.root, (journal.path + "\\" + journal.name).c_str()));
  return rt::TextOf(stored);
}

void PutBack(const MoveJournal& journal, OperationHost& host) {
  const std::string question = "是否将'" + journal.title + "'改回迁移之前的设置？\r\n原来的值：" + journal.oldValue;
  if (!host.ask(Question::kPutBackOldValue, question)) return;
  const bool written = WriteRegistryText(journal.root, (journal.path + "\\" + journal.name).c_str(),
                                         journal.oldValue.data(), static_cast<int32_t>(journal.oldValue.size()),
                                         journal.oldType);
  if (written) host.tell("提醒", "已改回原来的设置，重新启动资源管理器或注销后生效。", NoticeIcon::kQuestion);
  else host.tell("修改失败", "修改目录时发生错误，修改失败！", NoticeIcon::kFailure);
}

}  // namespace

bool InterruptedMoveFound() { return ReadMoveJournal().has_value(); }

void ExplainInterruptedMove(OperationHost& host) {
  const std::optional<MoveJournal> journal = ReadMoveJournal();
  if (!journal) return;
  const std::string now = StoredValue(*journal);
  const bool switched = !now.empty() && now == journal->newDirectory;
  std::string text = "上次迁移'" + journal->title + "'时程序意外中断（" + StageText(journal->stage) + "）。\r\n";
  if (switched) {
    text += "文件已全部复制到新目录'" + journal->newDirectory + "'，注册表现在指向新目录；原目录'" +
            journal->oldDirectory + "'中可能还留有文件。";
  } else {
    text += "文件夹仍使用原目录'" + journal->oldDirectory + "'，原目录中的文件未被删除；新目录'" +
            journal->newDirectory + "'中可能有部分已复制的文件。";
  }
  text += "\r\n注册表当前的值：" + (now.empty() ? std::string("（无法读取）") : now);
  host.tell("上次迁移未完成", text, NoticeIcon::kFailure);
  const bool valueKnown = journal->root >= 1 && journal->root <= 5 && !journal->oldValue.empty();
  if (switched && valueKnown) PutBack(*journal, host);
  RemoveMoveJournal();
}

}  // namespace korvalin
