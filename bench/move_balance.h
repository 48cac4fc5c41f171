// A small folder (30 files of 4 KiB in three subfolders) moved with its
// files back and forth between two scratch directories by the program's own
// change operation, for the resource balance. Made on construction, removed
// with its registry key on destruction.
#pragma once

#include <string>

#include "rules/folder_rule.h"

namespace korvalin::bench {

class MoveScratch {
 public:
  MoveScratch();
  ~MoveScratch();
  MoveScratch(const MoveScratch&) = delete;
  MoveScratch& operator=(const MoveScratch&) = delete;

  bool ready() const { return ready_; }
  // Moves the folder to the other directory and empties the old one; true
  // when the operation switched the folder and every file arrived.
  bool moveOnce();

 private:
  std::string root_, first_, second_;
  FolderRule rule_;
  bool ready_ = false;
};

}  // namespace korvalin::bench
