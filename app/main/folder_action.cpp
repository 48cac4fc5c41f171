#include "app/main/folder_action.h"

#include <cstring>

#include "app/main/globals.h"
#include "app/list/rule_rows.h"
#include "app/dialogs/window_host.h"
#include "runtime/interface/owned_value.h"
#include "migrate/restore_default.h"
#include "migrate/shell_restart.h"

namespace korvalin {
namespace {

bool InRecoveryMode() { return modeLabel && std::strcmp(modeLabel, "恢复") == 0; }

// The rules of every row but this one and the header.
RuleSet OtherRules(int32_t row) {
  RuleSet others;
  for (int32_t other = 1; other < folderList->getRowCount(); ++other)
    if (other != row) others.push_back(RuleOfRow(*folderList, other));
  return others;
}

}  // namespace

void RunFolderOperation(int32_t row) {
  const FolderRule rule = RuleOfRow(*folderList, row);
  const RuleSet others = OtherRules(row);
  rt::OwnedText caption(MainWindowCaption());
  WindowHost host(MainWindowHandle(), rt::TextOf(caption));
  OperationResult result = InRecoveryMode() ? RestoreFolder(rule, others, host) : ChangeFolder(rule, others, host);
  if (!result.switched) return;
  folderList->setRowCurrentDir(row, result.newDirectory.c_str());
  RestartShell();
}

}  // namespace korvalin
