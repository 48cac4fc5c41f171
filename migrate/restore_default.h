// Recovery mode's operation: points a folder back at its default.
#pragma once

#include "migrate/folder_operation.h"

namespace korvalin {

// The default is read from HKEY_LOCAL_MACHINE under the rule's key path,
// "Backup", and the rule's value name, and expanded; empty when there is
// none.
std::string DefaultDirectoryOf(const FolderRule& rule);

OperationResult RestoreFolder(const FolderRule& rule, const RuleSet& others, OperationHost& host);

}  // namespace korvalin
