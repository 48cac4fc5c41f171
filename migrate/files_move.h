// A move that takes the folder's files along, in the order that keeps every
// file reachable: look (before anything is asked), copy, verify, put the
// replaced files' copies in place, switch, and only then offer to empty
// the old place of what was copied.
#pragma once

#include "migrate/folder_operation.h"

namespace korvalin {

// The look before the confirmation: a new directory that holds the current
// one is refused, the tree is listed, the destination surveyed (a place
// inside the folder's tree, entries the copy cannot go over, files it would
// replace) and the room checked. False, after telling the user why, when
// the move must not go on.
bool PrepareFilesMove(const FolderRule& rule, PreparedMove& move, OperationHost& host, OperationResult& refusal);

OperationResult MoveWithFiles(const FolderRule& rule, PreparedMove& move, OperationHost& host);

// The bytes free to this user at the directory, or at the nearest ancestor
// that exists; -1 when the system cannot say.
int64_t FreeBytesAt(const std::wstring& directory);

}  // namespace korvalin
