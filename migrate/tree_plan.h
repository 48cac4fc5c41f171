// What a folder holds, listed once before a copy: what to copy, what the
// room check adds up, what the verification looks for and what the clear
// may delete.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct TreeEntry {
  std::string relative;  // "sub\\b.txt", below the folder
  bool directory = false;
  DWORD attributes = 0;
  int64_t size = 0;
  FILETIME written = {};
};

struct TreePlan {
  // Each directory comes before the entries it holds.
  std::vector<TreeEntry> entries;
  int64_t files = 0;
  int64_t bytes = 0;
  // Links (reparse points) below the folder: neither followed, copied nor
  // deleted; they stay where they are.
  int64_t links = 0;
  // False when a listing failed or the tree is deeper than a copy follows.
  bool complete = true;
};

// Lists the folder's tree without following links.
TreePlan PlanTree(const std::string& folder);

// The entries of one directory, "." and ".." left out; false when it
// cannot be listed to the end.
bool ListDirectory(const std::string& directory, std::vector<WIN32_FIND_DATAA>& found);

}  // namespace korvalin
