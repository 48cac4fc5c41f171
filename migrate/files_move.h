// A move that takes the folder's files along, in the order that keeps every
// file reachable: list, check the room, copy, verify, switch, and only then
// offer to empty the old place of what was copied.
#pragma once

#include "migrate/folder_operation.h"

namespace korvalin {

OperationResult MoveWithFiles(const FolderRule& rule, const std::string& newDirectory, OperationHost& host);

// The bytes free to this user at the directory, or at the nearest ancestor
// that exists; -1 when the system cannot say.
int64_t FreeBytesAt(const std::string& directory);

}  // namespace korvalin
