#include "app/main/operation_mode.h"

#include "app/dialogs/task_dialog.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// Whether any command-line argument contains "reset" in any letter case;
// the scan stops at the first one that does.
bool ResetRequested() {
  void* arguments = nullptr;
  rt::cmd::GetCommandLineArgs(&arguments);
  bool requested = false;
  int64_t count = rt::ArrayElementCount(arguments);
  for (int64_t i = 1; i <= count; ++i) {
    const char* argument = rt::ArrayElements<rt::Text>(arguments)[rt::CheckSubscript(arguments, i)];
    if (rt::cmd::FindText(argument, "reset", 0, true) != -1) {
      requested = true;
      break;
    }
  }
  rt::FreeArray(rt::kTagText, arguments);
  return requested;
}

}  // namespace

bool RecoveryModeChosen(HWND owner, const char* caption) {
  if (!ResetRequested()) return false;
  int32_t answer = ShowTaskDialog(owner, caption, "确认操作模式",
                                  "请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？", kButtonsOkCancel,
                                  IconOrdinal(9));
  // Cancel, a closed dialog and a failure code all keep the normal mode.
  return answer == 1;
}

}  // namespace korvalin
