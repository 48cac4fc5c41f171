// Copying a folder's tree file by file and checking the copy.
#pragma once

#include <string>

#include "migrate/copy_progress.h"
#include "migrate/tree_plan.h"

namespace korvalin {

enum class CopyOutcome { kCopied, kFailed, kCancelled };

struct CopyReport {
  CopyOutcome outcome = CopyOutcome::kFailed;
  std::wstring failedEntry;  // relative, when a file or directory could not be made
  DWORD error = 0;           // the system's error for it
};

// Copies the planned entries into `to` (made, with any missing ancestor):
// hidden and system files, empty directories and named streams too,
// attributes and times kept. Nothing at `to` is written over: a file that
// replaces one there is copied under its waiting name (WaitingName) and put
// in place only once the whole copy is verified (Replacements). A cancel is
// seen between blocks. A failed or cancelled copy deletes the waiting
// copies and leaves what it copied so far; runs on the calling thread and
// one more.
CopyReport CopyTree(const TreePlan& plan, const std::wstring& to, CopyProgress& progress);

// True when every planned directory is at `to` and every planned file is
// there (or under its waiting name) with its size, as the destination's
// own listings show.
bool CopyVerified(const TreePlan& plan, const std::wstring& to);

// Where the copy of the plan's entry `index` is written: its own place at
// `to`, or, for one that replaces a file there, a name of its own beside it.
std::wstring CopyPlace(const TreePlan& plan, size_t index, const std::wstring& to);
std::wstring WaitingName(const TreePlan& plan, size_t index, const std::wstring& to);

// The directory and any ancestor it lacks; false when one cannot be made.
bool MakeDirectoryPath(const std::wstring& path);

// Removes the waiting copies of replacing files.
void DeleteWaitingCopies(const TreePlan& plan, const std::wstring& to);

}  // namespace korvalin
