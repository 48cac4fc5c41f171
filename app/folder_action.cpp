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

}  // namespace

void RunFolderOperation(int32_t row) {
  const FolderRule rule = RuleOfRow(row);
  WindowHost host;
  OperationResult result = InRecoveryMode() ? RestoreFolder(rule, host) : ChangeFolder(rule, host);
  if (!result.switched) return;
  folderList->setRowCurrentDir(row, result.newDirectory.c_str());
  RestartShell();
}

}  // namespace korvalin
