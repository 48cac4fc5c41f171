// What a folder operation needs of whoever runs it: the window answers with
// its dialogs, the command line with its arguments. The operation knows
// neither.
#pragma once

#include <functional>
#include <string>

#include "migrate/tree_copy.h"

namespace korvalin {

// The icon a message carries (TaskDialog's 0xFFF7, 0xFFFA and 0xFFF9).
enum class NoticeIcon { kQuestion, kError, kFailure };

// The questions an operation asks; only a yes goes on.
enum class Question {
  kConfirmChange,      // move the folder to the chosen directory?
  kConfirmRestore,     // point the folder back at its default?
  kClearOldDirectory,  // the files are copied: empty the old directory?
  kConfirmMerge,       // a warning: two shell folders would share one place
  kPutBackOldValue,    // a move was cut short: point the folder back?
  kReplaceFiles,       // a warning: the copy would replace files at the new place
};

class OperationHost {
 public:
  // The directory the folder should move to; empty when the user gives none.
  virtual std::string chooseNewDirectory(const std::string& prompt) = 0;
  // A warning (kConfirmMerge, kReplaceFiles) has Cancel as its default answer.
  virtual bool ask(Question question, const std::string& text) = 0;
  // A message with a Close button alone.
  virtual void tell(const std::string& instruction, const std::string& content, NoticeIcon icon) = 0;
  // Runs the copy, showing `progress` while it runs and passing on a
  // request to cancel; returns what the copy reported.
  virtual CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) = 0;

 protected:
  ~OperationHost() = default;
};

}  // namespace korvalin
