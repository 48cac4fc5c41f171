// Copying a folder's tree to its new place and emptying the old place.
#pragma once

namespace korvalin {

// Copies the source directory's files and subdirectories into the
// destination (created when missing) with the file-system object's
// CopyFolder. True only when that call succeeded.
bool CopyFolderTree(const char* source, const char* destination);

// Deletes everything in the directory and leaves it there, empty.
void ClearDirectory(const char* directory);

}  // namespace korvalin
