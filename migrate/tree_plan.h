// What a folder holds, listed once before a copy: what to copy, what the
// room check adds up, what the verification looks for and what the clear
// may delete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "migrate/directory_listing.h"

namespace korvalin {

struct TreeEntry {
  std::wstring relative;  // L"sub\\b.txt", below the folder
  ListedEntry listed;     // as the listing showed it
  // A file of this name stands at the destination: the copy is written
  // under a temporary name and put in its place once the copy is verified.
  bool replaces = false;

  bool directory() const { return listed.directory(); }
};

struct TreePlan {
  std::wstring folder;  // the folder, in the engine's form
  PlaceId id;           // the folder's own
  // Each directory comes before the entries it holds.
  std::vector<TreeEntry> entries;
  int64_t files = 0;
  int64_t bytes = 0;
  // Links (reparse points) below the folder: neither followed, copied nor
  // deleted; they stay where they are.
  int64_t links = 0;
  // False when a listing failed or the tree is deeper than a copy follows.
  bool complete = true;
  std::wstring unreadable;  // the first directory that could not be listed

  // The folder (an empty path) or the planned directory with this file id;
  // null when none has it. The volume is not compared: Wine gives each
  // drive letter a volume of its own, also a letter that leads into the
  // folder.
  const std::wstring* directoryWithId(int64_t fileId) const;
};

// Lists the folder's tree without following links.
TreePlan PlanTree(const std::wstring& folder);

}  // namespace korvalin
