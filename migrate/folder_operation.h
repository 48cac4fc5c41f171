// The folder operations: move a rule's shell folder to a new directory, or
// (restore_default.h) point it back at its default. They act on the rule
// they are given, look at the other rules' folders, and ask and tell
// through the host.
#pragma once

#include <string>

#include "migrate/operation_host.h"
#include "rules/folder_rule.h"

namespace korvalin {

enum class Outcome {
  kDone,         // the folder points at the new directory
  kNothingToDo,  // it already is where it should go
  kCancelled,    // no directory given, a question answered no, or the copy cancelled
  kRefused,      // a check refused the rule or the directory
  kWriteFailed,  // the registry value could not be written
  kCopyFailed,   // not every file reached the new directory; nothing switched
};

struct OperationResult {
  Outcome outcome = Outcome::kCancelled;
  bool switched = false;     // the registry value now names newDirectory
  std::string newDirectory;  // where the folder points when switched
};

// An operation that ends without switching the folder.
inline OperationResult Unswitched(Outcome outcome) {
  OperationResult result;
  result.outcome = outcome;
  return result;
}

// Asks the host for a new directory, checks it, asks to confirm and applies.
// `others` are the other rows' rules, whose folders a move must not merge
// with unawares.
OperationResult ChangeFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host);

// The tail shared by a change and a restore. With the rule's files: the tree
// is listed, the room checked, the files copied (with progress) and the copy
// verified before the value is written; a failed, incomplete or cancelled
// copy changes nothing. Then the old place may be emptied of exactly what
// was copied. Without: the value alone. A journal beside the program
// follows the stages. The caller shows the new place and restarts the
// shell once the folder is switched.
OperationResult ApplyNewDirectory(const FolderRule& rule, const std::string& newDirectory, OperationHost& host);

// The refusal every operation starts with: an invalid rule does nothing,
// and the user is told why.
bool RefuseInvalidRule(const FolderRule& rule, OperationHost& host);

// Checks of a new directory made before anything is asked: one that holds
// '?' or '*' or is not absolute, one that is the current directory or lies
// inside it (by what it is on disk, not by its spelling), and one that
// would share its place with another rule's folder (a warning that the
// user may pass). False when the operation must stop.
enum class DirectoryRole { kChosen, kDefault };
bool RefuseUnusableDirectory(const std::string& directory, DirectoryRole role, OperationHost& host);
bool RefuseSamePlace(const FolderRule& rule, const std::string& directory, OperationHost& host);
bool DeclineMerge(const std::string& directory, const RuleSet& others, OperationHost& host);

}  // namespace korvalin
