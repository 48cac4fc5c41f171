#include "app/startup_check.h"

#include "app/account_check.h"
#include "app/task_dialog.h"
#include "encoding/text_encoding.h"
#include "migrate/interrupted_move.h"
#include "rules/rule_set.h"

namespace korvalin {
namespace {

constexpr char kCaption[] = "Korvalin " KORVALIN_VERSION;

// Only questions and messages happen before the window.
class StartupHost final : public OperationHost {
 public:
  std::string chooseNewDirectory(const std::string&) override { return std::string(); }
  bool ask(Question, const std::string& text) override {
    return ShowTaskDialog(nullptr, kCaption, "确认操作", text.c_str(), kButtonsOkCancel, IconOrdinal(9)) == 1;
  }
  void tell(const std::string& instruction, const std::string& content, NoticeIcon icon) override {
    const int32_t number = icon == NoticeIcon::kError ? 6 : icon == NoticeIcon::kFailure ? 7 : 9;
    ShowTaskDialog(nullptr, kCaption, instruction.c_str(), content.c_str(), kButtonsClose, IconOrdinal(number));
  }
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress&) override { return copy(); }
};

}  // namespace

bool ConfirmOtherAccount() {
  const AccountCheck account = CheckAccount();
  if (!account.other) return true;
  const std::string text = OtherAccountText(account) + "\r\n确定仍要继续吗？";
  return ShowWarningQuestion(nullptr, kCaption, "警告", text.c_str());
}

void ExplainInterruptedMoveAtStart() {
  if (!InterruptedMoveFound()) return;
  StartupHost host;
  // Which values the journal may speak of: the rules as the window will load them.
  ExplainInterruptedMove(ReadRuleSet().rules, host);
}

}  // namespace korvalin
