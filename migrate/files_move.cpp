#include "migrate/files_move.h"

#include <cstdio>

#include "image/declared_functions.h"
#include "migrate/move_journal.h"
#include "migrate/path_text.h"
#include "migrate/tree_copy.h"
#include "registry/registry.h"
#include "runtime/owned_value.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// The journal's picture of the move: which value, what it held, both places.
MoveJournal JournalFor(const FolderRule& rule, const std::string& newDirectory) {
  MoveJournal journal;
  journal.title = rule.title;
  journal.name = rule.name;
  journal.root = rule.root;
  journal.path = rule.path;
  DWORD type = REG_SZ;
  rt::OwnedBlock stored(ReadRegistryValue(rule.root, rule.valuePath().c_str(), &type));
  const int32_t length = rt::ByteSetLength(stored.get());
  const char* bytes = reinterpret_cast<const char*>(rt::ByteSetData(stored.get()));
  journal.oldValue = length > 0 ? std::string(bytes, strnlen(bytes, static_cast<size_t>(length))) : std::string();
  journal.oldType = type;
  journal.oldDirectory = rule.currentDir;
  journal.newDirectory = newDirectory;
  return journal;
}

// What a move that stopped before the switch tells the user.
OperationResult NotMoved(const FolderRule& rule, const std::string& newDirectory, const CopyReport& report,
                         OperationHost& host) {
  RemoveMoveJournal();
  const std::string where = "\r\n文件夹仍使用原目录'" + rule.currentDir + "'，原目录中的文件已全部保留。" +
                            "\r\n已复制的部分文件位于'" + newDirectory + "'。";
  if (report.outcome == CopyOutcome::kCancelled) {
    host.tell("迁移已取消", "已取消迁移，未作任何修改。" + where, NoticeIcon::kQuestion);
    return Unswitched(Outcome::kCancelled);
  }
  const std::string failed = report.failedEntry.empty() ? "" : "\r\n未能复制：" + report.failedEntry;
  host.tell("文件未能全部迁移", "部分文件未能复制到新目录，文件夹未迁移。" + where + failed, NoticeIcon::kFailure);
  return Unswitched(Outcome::kCopyFailed);
}

void OfferToClear(const FolderRule& rule, const TreePlan& plan, OperationHost& host) {
  if (!host.ask(Question::kClearOldDirectory, "文件已迁移完成，是否将原目录文件清空？")) return;
  const ClearReport cleared = ClearCopiedEntries(rule.currentDir, plan);
  if (cleared.kept == 0) return;
  host.tell("提醒",
            "原目录中有 " + std::to_string(cleared.kept) +
                " 项没有删除，仍保留在原目录中：它们在复制之后才出现或被改动过，或是链接，或无法删除。",
            NoticeIcon::kQuestion);
}

}  // namespace

int64_t FreeBytesAt(const std::string& directory) {
  for (std::string at = TidySeparators(directory); !at.empty(); at = ParentPath(at)) {
    ULARGE_INTEGER free = {};
    const std::string directoryPath = at.back() == '\\' ? at : at + "\\";
    if (dll::GetDiskFreeSpaceExA(directoryPath.c_str(), &free, nullptr, nullptr))
      return static_cast<int64_t>(free.QuadPart);
  }
  return -1;
}

OperationResult MoveWithFiles(const FolderRule& rule, const std::string& newDirectory, OperationHost& host) {
  const TreePlan plan = PlanTree(rule.currentDir);
  if (!plan.complete) {
    host.tell("文件未能全部迁移", "原目录中的文件无法全部读取，文件夹未迁移，未作任何修改。", NoticeIcon::kFailure);
    return Unswitched(Outcome::kCopyFailed);
  }
  const int64_t free = FreeBytesAt(newDirectory);
  if (free >= 0 && free < plan.bytes) {
    host.tell("空间不足",
              "新目录所在磁盘空间不足：需要 " + Megabytes(plan.bytes) + "，可用 " + Megabytes(free) + "。未作任何修改。",
              NoticeIcon::kError);
    return Unswitched(Outcome::kRefused);
  }
  MoveJournal journal = JournalFor(rule, newDirectory);
  WriteMoveJournal(journal);
  CopyProgress progress(plan.files, plan.bytes);
  const CopyReport report =
      host.runCopy([&] { return CopyTree(rule.currentDir, newDirectory, plan, progress); }, progress);
  if (report.outcome != CopyOutcome::kCopied) return NotMoved(rule, newDirectory, report, host);
  if (!CopyVerified(newDirectory, plan)) return NotMoved(rule, newDirectory, CopyReport{}, host);

  journal.stage = MoveStage::kSwitching;
  WriteMoveJournal(journal);
  if (!WriteRegistryText(rule.root, rule.valuePath().c_str(), newDirectory.data(),
                         static_cast<int32_t>(newDirectory.size()))) {
    RemoveMoveJournal();
    host.tell("修改失败",
              "修改目录时发生错误，修改失败！\r\n文件夹仍使用原目录'" + rule.currentDir + "'；已复制的文件位于'" +
                  newDirectory + "'。",
              NoticeIcon::kFailure);
    return Unswitched(Outcome::kWriteFailed);
  }
  journal.stage = MoveStage::kClearing;
  WriteMoveJournal(journal);
  OfferToClear(rule, plan, host);
  RemoveMoveJournal();
  return {Outcome::kDone, true, newDirectory};
}

}  // namespace korvalin
