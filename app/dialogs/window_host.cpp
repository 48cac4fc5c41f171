#include "app/dialogs/window_host.h"

#include "app/dialogs/folder_browser.h"
#include "app/dialogs/progress_window.h"
#include "app/dialogs/task_dialog.h"
#include "runtime/interface/owned_value.h"

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

}  // namespace

int32_t WindowHost::show(const char* instruction, const std::string& content, int32_t buttons, NoticeIcon icon) {
  return ShowTaskDialog(owner_, caption_.c_str(), instruction, content.c_str(), buttons,
                        IconOrdinal(IconNumber(icon)));
}

std::string WindowHost::chooseNewDirectory(const std::string& prompt) {
  rt::OwnedText chosen(BrowseForNewFolder(owner_, prompt.c_str()));
  return rt::TextOf(chosen);
}

bool WindowHost::ask(Question question, const std::string& text) {
  if (question == Question::kConfirmMerge || question == Question::kReplaceFiles)
    return ShowWarningQuestion(owner_, caption_.c_str(), "警告", text.c_str());
  return show("确认操作", text, kButtonsOkCancel, NoticeIcon::kQuestion) == 1;
}

CopyReport WindowHost::runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) {
  return CopyWithProgressWindow(owner_, copy, progress);
}

void WindowHost::tell(const std::string& instruction, const std::string& content, NoticeIcon icon) {
  show(instruction.c_str(), content, kButtonsClose, icon);
}

}  // namespace korvalin
