#include "migrate/restore_default.h"

#include <cstring>

#include "migrate/folder_operation.h"
#include "migrate/operation_dialogs.h"
#include "migrate/owned_text.h"
#include "migrate/registry.h"
#include "migrate/row_copy.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

constexpr int32_t kLocalMachine = 4;

OwnedText ReadDefaultDirectory(const FolderRow& record) {
  OwnedText valuePath(rt::ConcatTexts({record.path, "\\Backup\\", record.name}));
  rt::Text stored = ReadRegistryText(kLocalMachine, valuePath.get());
  OwnedText expanded(ExpandEnvironmentText(stored));
  rt::program::Free(stored);
  return expanded;
}

}  // namespace

void RestoreDefaultDirectory(int32_t row, const FolderRow& record) {
  OwnedText defaultDirectory = ReadDefaultDirectory(record);
  // Without a default there is nothing to point the folder at: writing an
  // empty value and emptying the old place would lose setting and files.
  if (rt::TextLength(defaultDirectory.get()) == 0) {
    ShowNotice("提醒", "未找到该目录的默认路径，无法恢复，未作任何修改！", kIconQuestion);
    return;
  }
  if (std::strcmp(TextOf(defaultDirectory), record.currentDir ? record.currentDir : "") == 0) {
    ShowNotice("提醒", "当前设置路径为默认路径，无需恢复！", kIconQuestion);
    return;
  }
  OwnedText question(rt::ConcatTexts(
      {"确认将'", TextOf(RowTitle(row)), "'恢复成默认目录吗？\r\n默认目录：", defaultDirectory.get()}));
  if (!AskToConfirm(question.get())) return;
  ApplyNewDirectory(row, record, defaultDirectory.get());
}

}  // namespace korvalin
