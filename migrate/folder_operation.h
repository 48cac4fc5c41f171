// The folder operations: move a rule's shell folder to a new directory, or
// (restore_default.h) point it back at its default. They act on the rule
// they are given, look at the other rules' folders, and ask and tell
// through the host.
#pragma once

#include <string>

#include "migrate/destination_survey.h"
#include "migrate/operation_host.h"
#include "migrate/tree_plan.h"
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
  // The old place was to be emptied, and some of it stayed.
  bool oldPlaceKept = false;
  // The step that failed was refused for want of rights (access denied).
  bool accessDenied = false;
};

// An operation that ends without switching the folder.
inline OperationResult Unswitched(Outcome outcome) {
  OperationResult result;
  result.outcome = outcome;
  return result;
}

// Whose directory a check looks at: one the user chose, or a default.
enum class DirectoryRole { kChosen, kDefault };

// A move as it was checked before the user was asked to confirm it.
struct PreparedMove {
  std::string newDirectory;
  std::wstring target;  // the new directory in the engine's form
  bool withFiles = false;
  TreePlan plan;             // with the files: what the folder holds
  DestinationSurvey survey;  // with the files: what the copy would meet
};

// Asks the host for a new directory, checks it, asks to confirm and applies.
// `others` are the other rows' rules, whose folders a move must not merge
// with unawares.
OperationResult ChangeFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host);

// Everything a change or a restore checks before it asks for confirmation:
// the new directory's name and place, where it stands to the current one,
// and with the files the tree, what the copy would meet and the room for
// it. False, after telling the user why, when the move must not go on;
// `refusal` then holds the result.
bool PrepareMove(const FolderRule& rule, const std::string& newDirectory, DirectoryRole role, OperationHost& host,
                 PreparedMove& move, OperationResult& refusal);

// Warnings before the confirmation, each with Cancel first: a place
// another folder uses, files of the same name at the new place. True when
// the user declined.
bool DeclineMerge(const std::string& directory, const RuleSet& others, OperationHost& host);
bool DeclineReplacing(const PreparedMove& move, OperationHost& host);

// The tail shared by a change and a restore, once confirmed. With the
// rule's files: the copy (with progress), its verification and the
// replaced files put in place before the value is written; a failed,
// incomplete or cancelled copy changes nothing. Then the old place may be
// emptied of exactly what was copied. Without: the new directory made if
// it is missing, and the value. A journal beside the program follows the
// stages. The caller shows the new place and restarts the shell once the
// folder is switched.
OperationResult ApplyNewDirectory(const FolderRule& rule, PreparedMove& move, OperationHost& host);

// The refusal every operation starts with: an invalid rule does nothing,
// and the user is told why.
bool RefuseInvalidRule(const FolderRule& rule, OperationHost& host);

// Checks of a new directory made before anything is asked: one whose name
// Windows cannot hold or that is not absolute, one on a drive that does
// not exist or that is (or lies in) a file. False when the operation may
// go on.
bool RefuseUnusableDirectory(const std::string& directory, DirectoryRole role, OperationHost& host);

// Where the new directory stands to the current one, by what it is on disk
// and not by its spelling: the same place is nothing to do, a place inside
// it is refused. True, with `stop` set and the user told, when the
// operation ends here.
bool StopAtCurrentPlace(const FolderRule& rule, const std::string& directory, OperationHost& host,
                        OperationResult& stop);

}  // namespace korvalin
