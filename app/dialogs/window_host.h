// The window's side of a folder operation: the folder browser, task dialogs
// owned by a window and titled with its caption, and the copy's progress
// window.
#pragma once

#include <windows.h>

#include <string>

#include "migrate/operation_host.h"

namespace korvalin {

class WindowHost final : public OperationHost {
 public:
  // owner may be null: before the main window, dialogs stand alone.
  WindowHost(HWND owner, std::string caption) : owner_(owner), caption_(std::move(caption)) {}

  std::string chooseNewDirectory(const std::string& prompt) override;
  // OK and Cancel under "确认操作"; a warning (two folders in one place,
  // files to be replaced) under "警告" with Cancel as its default. True
  // only for OK.
  bool ask(Question question, const std::string& text) override;
  void tell(const std::string& instruction, const std::string& content, NoticeIcon icon) override;
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) override;

 private:
  int32_t show(const char* instruction, const std::string& content, int32_t buttons, NoticeIcon icon);

  HWND owner_;
  std::string caption_;
};

}  // namespace korvalin
