#include "migrate/files_move.h"

#include <cstdio>

#include "encoding/shown_names.h"
#include "image/declared_functions.h"
#include "migrate/long_path.h"
#include "migrate/move_journal.h"
#include "migrate/place_identity.h"
#include "migrate/replacements.h"
#include "migrate/tree_clear.h"
#include "migrate/tree_copy.h"
#include "registry/registry.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

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

// A journal left behind would explain a move that never was at the next
// start; the user hears of it.
void DropJournal(OperationHost& host) {
  if (RemoveMoveJournal()) return;
  host.tell("提醒",
            "无法删除程序目录中的迁移记录 Move.data；下次启动时会把这次迁移当作未完成的迁移说明。请手动删除该文件。",
            NoticeIcon::kFailure);
}

// What a move that stopped before the switch tells the user.
OperationResult NotMoved(const FolderRule& rule, const PreparedMove& move, const CopyReport& report,
                         const std::string& failure, OperationHost& host) {
  DropJournal(host);
  std::string where = "\r\n文件夹仍使用原目录'" + rule.currentDir + "'，原目录中的文件已全部保留。" +
                      "\r\n已复制的部分文件位于'" + move.newDirectory + "'。";
  if (move.survey.replaced > 0) where += "新目录中原有的同名文件均未改动。";
  if (report.outcome == CopyOutcome::kCancelled) {
    host.tell("迁移已取消", "已取消迁移，未作任何修改。" + where, NoticeIcon::kQuestion);
    return Unswitched(Outcome::kCancelled);
  }
  const std::string failed = report.failedEntry.empty() ? "" : failure + TextForShowing(report.failedEntry);
  const bool denied = report.error == ERROR_ACCESS_DENIED;
  host.tell("文件未能全部迁移",
            "部分文件未能复制到新目录，文件夹未迁移。" + where + failed + (denied ? "（拒绝访问）" : ""),
            NoticeIcon::kFailure);
  OperationResult result = Unswitched(Outcome::kCopyFailed);
  result.accessDenied = denied;
  return result;
}

// True when nothing that was to go stayed: the user kept the old place, or
// it was emptied of everything that was copied.
bool OfferToClear(const FolderRule& rule, const PreparedMove& move, MoveJournal& journal, OperationHost& host) {
  if (!host.ask(Question::kClearOldDirectory, "文件已迁移完成，是否将原目录文件清空？")) return true;
  if (!FlushCopies(move.plan, move.target) || !FlushRegistryKey(rule.root, rule.valuePath().c_str())) {
    host.tell("提醒", "新目录中的文件未能确认已写入磁盘，为安全起见原目录未清空，原目录中的文件全部保留。",
              NoticeIcon::kFailure);
    return false;
  }
  journal.stage = MoveStage::kClearing;
  WriteMoveJournal(journal);
  const ClearReport cleared = ClearCopiedEntries(move.plan);
  if (cleared.kept == 0) return true;
  host.tell("提醒",
            "原目录中有 " + std::to_string(cleared.kept) +
                " 项没有删除，仍保留在原目录中：它们在复制之后才出现或被改动过，或是链接，或无法删除。",
            NoticeIcon::kQuestion);
  return false;
}

}  // namespace

int64_t FreeBytesAt(const std::wstring& directory) {
  const std::wstring existing = DeepestExisting(directory);
  if (existing.empty()) return -1;
  ULARGE_INTEGER free = {};
  const std::wstring withSeparator = existing.back() == L'\\' ? existing : existing + L"\\";
  if (!dll::GetDiskFreeSpaceExW(withSeparator.c_str(), &free, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(free.QuadPart);
}

bool PrepareFilesMove(const FolderRule& rule, PreparedMove& move, OperationHost& host, OperationResult& refusal) {
  refusal = Unswitched(Outcome::kRefused);
  // Copying into a directory that holds the current one writes into the
  // current one itself.
  if (RelatePlaces(move.newDirectory, rule.currentDir) == PlaceRelation::kContains) {
    host.tell("错误",
              "新目录'" + move.newDirectory + "'包含当前目录'" + rule.currentDir +
                  "'，文件复制到那里会写进当前目录自身，无法同时迁移文件。请选择当前目录之外的位置，未作任何修改！",
              NoticeIcon::kError);
    return false;
  }
  move.plan = PlanTree(EnginePath(rule.currentDir));
  if (!move.plan.complete) {
    const std::string which =
        move.plan.unreadable.empty() ? std::string() : "（'" + TextForShowing(move.plan.unreadable) + "'）";
    host.tell("文件未能全部迁移", "原目录中的文件无法全部读取" + which + "，文件夹未迁移，未作任何修改。",
              NoticeIcon::kFailure);
    refusal = Unswitched(Outcome::kCopyFailed);
    return false;
  }
  move.survey = SurveyDestination(move.plan, move.target);
  if (move.survey.intoFolder) {
    host.tell("错误", "新目录不能是当前目录，也不能位于当前目录之内！", NoticeIcon::kError);
    return false;
  }
  if (!move.survey.conflict.empty()) {
    host.tell("错误",
              "新目录中的'" + TextForShowing(move.survey.conflict) +
                  "'与原目录中的同名项目类型不同（文件与文件夹），或是链接，文件无法复制到那里，未作任何修改！",
              NoticeIcon::kError);
    return false;
  }
  const int64_t free = FreeBytesAt(move.target);
  if (free >= 0 && free < move.plan.bytes) {
    host.tell("空间不足",
              "新目录所在磁盘空间不足：需要 " + Megabytes(move.plan.bytes) + "，可用 " + Megabytes(free) +
                  "。未作任何修改。",
              NoticeIcon::kError);
    return false;
  }
  return true;
}

OperationResult MoveWithFiles(const FolderRule& rule, PreparedMove& move, OperationHost& host) {
  // Without a journal a move cut short could not be explained.
  MoveJournal journal = JournalFor(rule, move.newDirectory);
  DWORD journalError = 0;
  if (!WriteMoveJournal(journal, &journalError)) {
    host.tell("错误",
              "无法在程序目录中写入迁移记录 Move.data（程序目录不可写，或已有同名的目录）。没有它，迁移意外中断后"
              "将无从说明文件在哪里，因此未迁移，未作任何修改！",
              NoticeIcon::kError);
    OperationResult refused = Unswitched(Outcome::kRefused);
    refused.accessDenied = journalError == ERROR_ACCESS_DENIED;
    return refused;
  }
  const TreePlan& plan = move.plan;
  CopyProgress progress(plan.files, plan.bytes);
  CopyReport report = host.runCopy([&] { return CopyTree(plan, move.target, progress); }, progress);
  if (report.outcome == CopyOutcome::kCopied && !CopyVerified(plan, move.target)) report = CopyReport{};
  // A cancel pressed as the last file finished still cancels.
  if (report.outcome == CopyOutcome::kCopied && progress.cancelled()) report.outcome = CopyOutcome::kCancelled;
  if (report.outcome != CopyOutcome::kCopied) {
    DeleteWaitingCopies(plan, move.target);
    return NotMoved(rule, move, report, "\r\n未能复制：", host);
  }
  Replacements replacements(plan, move.target);
  if (!replacements.putInPlace()) {
    report.outcome = CopyOutcome::kFailed;
    report.failedEntry = replacements.failed();
    DeleteWaitingCopies(plan, move.target);
    return NotMoved(rule, move, report, "\r\n无法替换：", host);
  }

  journal.stage = MoveStage::kSwitching;
  WriteMoveJournal(journal);
  LONG status = ERROR_SUCCESS;
  if (!WriteRegistryText(rule.root, rule.valuePath().c_str(), move.newDirectory.data(),
                         static_cast<int32_t>(move.newDirectory.size()), REG_SZ, &status)) {
    replacements.putBack();
    DropJournal(host);
    host.tell("修改失败",
              "修改目录时发生错误，修改失败！\r\n文件夹仍使用原目录'" + rule.currentDir + "'；已复制的文件位于'" +
                  move.newDirectory + "'" + (move.survey.replaced > 0 ? "，新目录中原有的同名文件均未改动。" : "。"),
              NoticeIcon::kFailure);
    OperationResult failed = Unswitched(Outcome::kWriteFailed);
    failed.accessDenied = status == ERROR_ACCESS_DENIED;
    return failed;
  }
  replacements.finish();
  OperationResult result{Outcome::kDone, true, move.newDirectory};
  result.oldPlaceKept = !OfferToClear(rule, move, journal, host);
  DropJournal(host);
  return result;
}

}  // namespace korvalin
