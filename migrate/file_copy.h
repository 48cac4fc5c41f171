// Copying one file: its data, its named streams, its attributes and times,
// to a name where nothing stands yet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "migrate/copy_progress.h"
#include "migrate/directory_listing.h"

namespace korvalin {

// What a copier reads and writes at a time. Linux sizes the page-cache
// pages a write makes by the write's length, and pages of 128 KiB and more
// are often slow to allocate; 64 KiB keeps large copies steady under Wine.
constexpr unsigned long kCopyBlockBytes = 64 * 1024;

// The block a copier reads into; one for each thread that copies.
std::vector<char> NewCopyBlock();

enum class FileCopyResult { kCopied, kFailed, kCancelled };

// Copies `from` to `to`, which must not exist: a file there already is a
// failure, never overwritten. The copy takes the times and the attributes
// the listing showed. Adds each block of the data to `progress`; a cancel
// is seen between blocks. A copy that does not finish is deleted; `error`
// then holds the system's error for the step that failed.
FileCopyResult CopyOneFile(const std::wstring& from, const std::wstring& to, const ListedEntry& listed,
                           std::vector<char>& block, CopyProgress& progress, int64_t* copied,
                           DWORD* error = nullptr);

// The attributes a copy keeps.
constexpr DWORD kAttributesToKeep = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace korvalin
