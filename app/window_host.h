// The window's side of a folder operation: the folder browser, task dialogs
// owned by the main window and titled with its current caption, and the
// copy's progress window.
#pragma once

#include "migrate/operation_host.h"

namespace korvalin {

class WindowHost final : public OperationHost {
 public:
  std::string chooseNewDirectory(const std::string& prompt) override;
  // OK and Cancel under "确认操作"; a warning (two folders in one place,
  // files to be replaced) under "警告" with Cancel as its default. True
  // only for OK.
  bool ask(Question question, const std::string& text) override;
  void tell(const std::string& instruction, const std::string& content, NoticeIcon icon) override;
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) override;
};

}  // namespace korvalin
