// The folder operations: move a rule's shell folder to a new directory, or
// (restore_default.h) point it back at its default. They act on the rule
// they are given and ask and tell through the host.
#pragma once

#include <string>

#include "migrate/operation_host.h"
#include "rules/folder_rule.h"

namespace korvalin {

enum class Outcome {
  kDone,         // the folder points at the new directory
  kNothingToDo,  // it already is where it should go
  kCancelled,    // no directory given, or a question answered no
  kRefused,      // a check refused the rule or the directory
  kWriteFailed,  // the registry value could not be written
  kCopyFailed,   // not every file reached the new directory
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
OperationResult ChangeFolder(const FolderRule& rule, OperationHost& host);

// The tail shared by a change and a restore: refuses a new directory that is
// the current one or lies inside it, writes the value, and copies the files
// when the rule moves them (offering to empty the old place only after a
// verified copy). The caller shows the new place and restarts the shell
// (RestartShell) once the folder is switched.
OperationResult ApplyNewDirectory(const FolderRule& rule, const std::string& newDirectory, OperationHost& host);

// The refusal every operation starts with: an invalid rule does nothing,
// and the user is told why.
bool RefuseInvalidRule(const FolderRule& rule, OperationHost& host);

// A new directory that holds '?' or '*' or is not absolute is refused
// before anything is asked or changed.
enum class DirectoryRole { kChosen, kDefault };
bool RefuseUnusableDirectory(const std::string& directory, DirectoryRole role, OperationHost& host);

}  // namespace korvalin
