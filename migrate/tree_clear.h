// Emptying the old place of exactly what was copied, once the copies are on
// the disk.
#pragma once

#include <cstdint>
#include <string>

#include "migrate/tree_plan.h"

namespace korvalin {

// Every copied file and directory at `to` flushed to the disk, so that a
// power loss cannot keep the clear's deletions and lose the copies. False
// when a file cannot be.
bool FlushCopies(const TreePlan& plan, const std::wstring& to);

struct ClearReport {
  int64_t deleted = 0;
  // Left in place: entries that appeared or changed after the plan was
  // made, links, files that are not really in the folder, and whatever
  // could not be deleted.
  int64_t kept = 0;
};

// Deletes from the plan's folder each planned file that is still the file
// that was planned (the same file id, size, time of last write and change
// time, which every write moves) and that really lies in the folder (by
// where the system says it is, past any link); then the planned
// directories left empty. The folder itself stays, and a folder that is
// itself a link keeps everything.
ClearReport ClearCopiedEntries(const TreePlan& plan);

}  // namespace korvalin
