// A row record copied out of the folder list for one operation.
#pragma once

#include <cstdint>

#include "app/folder_list.h"
#include "app/globals.h"
#include "migrate/owned_text.h"

namespace korvalin {

class RowCopy {
 public:
  explicit RowCopy(int32_t row) : record_(folderList->getRowRecord(row)) {}
  ~RowCopy() { ReleaseRow(record_); }
  RowCopy(const RowCopy&) = delete;
  RowCopy& operator=(const RowCopy&) = delete;
  const FolderRow& get() const { return record_; }

 private:
  FolderRow record_;
};

inline OwnedText RowTitle(int32_t row) { return OwnedText(folderList->getRowTitle(row)); }

}  // namespace korvalin
