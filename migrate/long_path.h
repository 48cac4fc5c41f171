// The move's engine works on wide names with the long-path prefix (\\?\C:\...
// or \\?\UNC\server\share\...), so that every name the file system allows
// and every depth up to its limit can be listed, copied and cleared under
// its own name. Folder paths enter it once, converted from the program's
// code page.
#pragma once

#include <windows.h>

#include <string>

namespace korvalin {

// The absolute, prefixed form of a folder path; empty when the path is
// empty or cannot be made absolute.
std::wstring EnginePath(const std::string& folder);
std::wstring EnginePath(const std::wstring& folder);

// folder\relative; the folder itself for an empty relative path.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative);

// The directory holding the place; empty at a root (\\?\C:\ or a share).
std::wstring ParentOf(const std::wstring& enginePath);

// The root the place is on: \\?\C:\ or \\?\UNC\server\share; empty for
// a path without the prefix.
std::wstring RootOf(const std::wstring& enginePath);

// The last part of a path.
std::wstring LastPart(const std::wstring& path);

// The path as the user wrote it, without the prefix, for messages.
std::wstring WithoutPrefix(const std::wstring& enginePath);

// Names compared as the file system compares them: without regard to case.
std::wstring NameKey(std::wstring name);

// True when `inner` is `outer` or lies below it, compared as names.
bool IsSameOrBelow(const std::wstring& inner, const std::wstring& outer);

// Where an open file or directory really is (links, junctions and
// substituted drives resolved), in the prefixed form; empty when the
// system cannot say.
std::wstring FinalPathOf(HANDLE file);

// The name the system keeps for an open file or directory, links
// resolved ("\\??\\C:\\..." or "\\Device\\HarddiskVolume2\\..."): no
// path, but two of them compare as places do, at any length. Empty when
// the system cannot say.
std::wstring ObjectNameOf(HANDLE file);

// The place itself when it exists, else its nearest ancestor that does;
// empty when none does.
std::wstring DeepestExisting(const std::wstring& enginePath);

}  // namespace korvalin
