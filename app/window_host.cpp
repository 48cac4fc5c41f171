#include "app/window_host.h"

#include "app/folder_browser.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/task_dialog.h"
#include "encoding/text_encoding.h"
#include "runtime/owned_value.h"

namespace korvalin {
namespace {

int32_t IconNumber(NoticeIcon icon) {
  switch (icon) {
    case NoticeIcon::kError: return 6;    // 0xFFFA
    case NoticeIcon::kFailure: return 7;  // 0xFFF9
    case NoticeIcon::kQuestion: break;
  }
  return 9;  // 0xFFF7
}

int32_t Show(const char* instruction, const std::string& content, int32_t buttons, NoticeIcon icon) {
  rt::OwnedText caption(MainWindowCaption());
  return ShowTaskDialog(MainWindowHandle(), caption.get(), instruction, content.c_str(), buttons,
                        IconOrdinal(IconNumber(icon)));
}

}  // namespace

std::string WindowHost::chooseNewDirectory(const std::string& prompt) {
  rt::OwnedText chosen(BrowseForNewFolder(MainWindowHandle(), prompt.c_str()));
  return rt::TextOf(chosen);
}

bool WindowHost::ask(Question question, const std::string& text) {
  if (question == Question::kConfirmMerge || question == Question::kReplaceFiles) {
    rt::OwnedText caption(MainWindowCaption());
    return ShowWarningQuestion(MainWindowHandle(), caption.get(), "警告", text.c_str());
  }
  return Show("确认操作", text, kButtonsOkCancel, NoticeIcon::kQuestion) == 1;
}

CopyReport WindowHost::runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) {
  return CopyWithProgressWindow(copy, progress);
}

void WindowHost::tell(const std::string& instruction, const std::string& content, NoticeIcon icon) {
  Show(instruction.c_str(), content, kButtonsClose, icon);
}

}  // namespace korvalin
