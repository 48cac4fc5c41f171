#include "migrate/folder_operation.h"

#include <cstring>

#include "app/globals.h"
#include "app/main_window.h"
#include "migrate/copy_check.h"
#include "migrate/folder_browser.h"
#include "migrate/folder_copy.h"
#include "migrate/operation_dialogs.h"
#include "migrate/path_text.h"
#include "migrate/registry.h"
#include "migrate/restore_default.h"
#include "migrate/row_copy.h"
#include "migrate/shell_restart.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

bool InRecoveryMode() { return modeLabel && std::strcmp(modeLabel, "恢复") == 0; }

bool IsDriveRoot(const char* path) {
  int32_t n = rt::TextLength(path);
  return n >= 2 && path[n - 2] == ':' && path[n - 1] == '\\';
}

// Copies, then offers to empty the old place only when every file is safely
// at the new one; otherwise the old files stay and the user is told so.
void MoveFiles(const char* from, const char* to) {
  if (!CopyFolderTree(from, to) || !TreeCopiedTo(from, to)) {
    ShowNotice("文件未能全部迁移", "部分文件未能复制到新目录，原目录中的文件已全部保留，未作删除。", kIconFailure);
    return;
  }
  if (AskToConfirm("文件已迁移完成，是否将原目录文件清空？")) ClearDirectory(from);
}

void ChangeDirectory(int32_t row, const FolderRow& record) {
  OwnedText prompt(rt::ConcatTexts({"选择新的'", TextOf(RowTitle(row)), "'目录"}));
  OwnedText chosen(BrowseForNewFolder(MainWindowHandle(), prompt.get()));
  if (rt::TextLength(chosen.get()) == 0) return;
  if (IsDriveRoot(chosen.get())) {
    ShowNotice("错误", "无法将目录选择为磁盘根目录！", kIconError);
    return;
  }
  OwnedText question(
      rt::ConcatTexts({"将'", TextOf(RowTitle(row)), "'路径移动到'", chosen.get(), "'，请确认？"}));
  if (!AskToConfirm(question.get())) return;
  ApplyNewDirectory(row, record, chosen.get());
}

}  // namespace

void RunFolderOperation(int32_t row) {
  RowCopy copy(row);
  const FolderRow& record = copy.get();
  if (record.root == -1) {
    ShowNotice("错误", "该条设置规则无效！无法修改...", kIconError);
    return;
  }
  if (InRecoveryMode()) {
    RestoreDefaultDirectory(row, record);
    return;
  }
  ChangeDirectory(row, record);
}

void ApplyNewDirectory(int32_t row, const FolderRow& record, const char* newDirectory) {
  // Copying into the old place itself, or into a folder inside it, and then
  // emptying the old place would destroy the files.
  if (IsSameOrInside(newDirectory, record.currentDir)) {
    ShowNotice("错误", "新目录不能是当前目录，也不能位于当前目录之内！", kIconError);
    return;
  }
  OwnedText valuePath(rt::ConcatTexts({record.path, "\\", record.name}));
  if (!WriteRegistryText(record.root, valuePath.get(), newDirectory, rt::TextLength(newDirectory))) {
    ShowNotice("修改失败", "修改目录时发生错误，修改失败！", kIconFailure);
    return;
  }
  if (record.moveFiles) MoveFiles(record.currentDir, newDirectory);
  folderList->setRowCurrentDir(row, newDirectory);
  RestartShell();
}

}  // namespace korvalin
