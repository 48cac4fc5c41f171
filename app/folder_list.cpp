#include "app/folder_list.h"

#include "runtime/program_calls.h"
#include "runtime/value_helpers.h"

namespace korvalin {

FolderList::FolderList() : fontName(rt::CopyText("微软雅黑")) {}

void FolderList::destroy() {
  rt::program::Free(fontName);
  fontName = nullptr;
  if (!rows) return;
  auto* records = rt::ArrayElements<FolderRow>(rows);
  for (int64_t i = 0; i < rt::ArrayElementCount(rows); ++i) {
    rt::program::Free(records[i].name);
    rt::program::Free(records[i].path);
    rt::program::Free(records[i].currentDir);
  }
  rt::program::Free(rows);
  rows = nullptr;
}

}  // namespace korvalin
