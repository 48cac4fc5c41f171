#include "app/folder_action.h"

#include <cstring>

#include "app/globals.h"
#include "app/rule_rows.h"
#include "app/window_host.h"
#include "migrate/restore_default.h"
#include "migrate/shell_restart.h"

namespace korvalin {
namespace {

bool InRecoveryMode() { return modeLabel && std::strcmp(modeLabel, "恢复") == 0; }

// The rules of every row but this one and the header.
RuleSet OtherRules(int32_t row) {
  RuleSet others;
  for (int32_t other = 1; other < folderList->getRowCount(); ++other)
    if (other != row) others.push_back(RuleOfRow(other));
  return others;
}

}  // namespace

void RunFolderOperation(int32_t row) {
  const FolderRule rule = RuleOfRow(row);
  const RuleSet others = OtherRules(row);
  WindowHost host;
  OperationResult result = InRecoveryMode() ? RestoreFolder(rule, others, host) : ChangeFolder(rule, others, host);
  if (!result.switched) return;
  folderList->setRowCurrentDir(row, result.newDirectory.c_str());
  RestartShell();
}

}  // namespace korvalin
