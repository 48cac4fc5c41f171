#include "migrate/operation_dialogs.h"

#include "app/main_window.h"
#include "app/task_dialog.h"
#include "app/text_encoding.h"
#include "migrate/owned_text.h"

namespace korvalin {
namespace {

int32_t Show(const char* instruction, const char* content, int32_t buttons, int32_t icon) {
  OwnedText caption(MainWindowCaption());
  return ShowTaskDialog(MainWindowHandle(), caption.get(), instruction, content, buttons, IconOrdinal(icon));
}

}  // namespace

void ShowNotice(const char* instruction, const char* content, int32_t icon) {
  Show(instruction, content, kButtonsClose, icon);
}

bool AskToConfirm(const char* content) { return Show("确认操作", content, kButtonsOkCancel, kIconQuestion) == 1; }

}  // namespace korvalin
