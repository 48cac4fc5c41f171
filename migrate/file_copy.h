// Copying one file: its contents, its times, over a file of the same name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "migrate/copy_progress.h"

namespace korvalin {

// What a copier reads and writes at a time. Linux sizes the page-cache
// pages a write makes by the write's length, and pages of 128 KiB and more
// often take a slow allocation: five files of 200 MB took 0.18 to 1.7 s
// with 128 KiB writes, 0.20 to 0.27 s in most rounds with 64 KiB (two
// threads, under Wine and in a plain C loop alike; cp -r 0.24-0.39 s).
constexpr unsigned long kCopyBlockBytes = 64 * 1024;

// The block a copier reads into; one for each thread that copies.
std::vector<char> NewCopyBlock();

// Copies `from` to `to`, replacing a file there, and keeps the times of
// what it read. Adds each block to `progress` and returns the bytes
// copied, or -1 when the file could not be read or written.
int64_t CopyOneFile(const std::string& from, const std::string& to, std::vector<char>& block,
                    CopyProgress& progress);

}  // namespace korvalin
