#include "app/main/startup_check.h"

#include "app/session/account_check.h"
#include "app/dialogs/task_dialog.h"
#include "app/dialogs/window_host.h"
#include "migrate/interrupted_move.h"
#include "rules/rule_set.h"

namespace korvalin {
namespace {

constexpr char kCaption[] = "Korvalin " KORVALIN_VERSION;

}  // namespace

bool ConfirmOtherAccount() {
  const AccountCheck account = CheckAccount();
  if (!account.other) return true;
  const std::string text = OtherAccountText(account) + "\r\n确定仍要继续吗？";
  return ShowWarningQuestion(nullptr, kCaption, "警告", text.c_str());
}

void ExplainInterruptedMoveAtStart() {
  if (!InterruptedMoveFound()) return;
  // Only questions and messages happen before the window.
  WindowHost host(nullptr, kCaption);
  // Which values the journal may speak of: the rules as the window will load them.
  ExplainInterruptedMove(ReadRuleSet().rules, host);
}

}  // namespace korvalin
