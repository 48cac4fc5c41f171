// Removing a directory with everything in it, the one command that can lose
// a user's files: which paths it refuses, and the walk itself.
#pragma once

namespace rt::commands {

// True for a path whose removal would empty a whole drive, share or volume,
// however it is spelt (C:, C:\, C:/., \\?\C:\, \\server\share,
// \\?\Volume{...}\, \\?\GLOBALROOT\..., a folder that is a mount point),
// and for an empty path. Such a path is never touched.
bool RefusesTreeDeletion(const char* path);

// Removes the directory and its contents, except entries whose names begin
// with "." (and so the directories holding them). A directory that is a
// link (junction, symbolic link, mount point), at the top or inside, is
// removed as a link: what it points at is never entered. Walks without
// recursion, so a deep tree cannot exhaust the stack. Returns whether the
// directory itself was removed. The caller has checked RefusesTreeDeletion.
bool DeleteTree(const char* path);

}  // namespace rt::commands
