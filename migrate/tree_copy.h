// Copying a folder's tree file by file, checking the copy, and emptying the
// old place of exactly what was copied.
#pragma once

#include <cstdint>
#include <string>

#include "migrate/copy_progress.h"
#include "migrate/tree_plan.h"

namespace korvalin {

enum class CopyOutcome { kCopied, kFailed, kCancelled };

struct CopyReport {
  CopyOutcome outcome = CopyOutcome::kFailed;
  std::string failedEntry;  // relative, when a file or directory could not be made
};

// Copies the planned entries from `from` into `to` (made when missing):
// hidden and system files and empty directories too, attributes kept,
// files of the same name replaced. A cancel takes effect before the next
// file. Runs on the calling thread and one more.
CopyReport CopyTree(const std::string& from, const std::string& to, const TreePlan& plan, CopyProgress& progress);

// True when every planned directory is at `to` and every planned file is
// there with its size, as the destination's own listings show.
bool CopyVerified(const std::string& to, const TreePlan& plan);

struct ClearReport {
  int64_t deleted = 0;
  // Left in place: entries that appeared or changed after the plan was
  // made, links, and whatever could not be deleted.
  int64_t kept = 0;
};

// Deletes from `from` the planned files that are still as they were planned
// (size and time of last write), then the planned directories that are
// empty; the folder itself stays.
ClearReport ClearCopiedEntries(const std::string& from, const TreePlan& plan);

}  // namespace korvalin
