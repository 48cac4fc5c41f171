// The note a move keeps beside the program while it runs, so that a move cut
// short (the process killed, the power gone) can be explained at the next
// start: which folder, its old value and place, the new place, how far the
// move had come.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace korvalin {

enum class MoveStage {
  kCopying,    // files were being copied; the value not yet written
  kSwitching,  // the copy was verified; the value was being written
  kClearing,   // the value names the new place; the old one was being emptied
};

struct MoveJournal {
  std::string title;
  std::string name;
  int32_t root = 0;
  std::string path;
  std::string oldValue;  // as stored, references unexpanded
  DWORD oldType = REG_SZ;
  std::string oldDirectory;
  std::string newDirectory;
  MoveStage stage = MoveStage::kCopying;
};

// Move.data in the program's directory, beside Win.data. Written whole and
// flushed to the disk before the move goes on; false when it cannot be,
// with the system's error in `error`.
bool WriteMoveJournal(const MoveJournal& journal, DWORD* error = nullptr);
std::optional<MoveJournal> ReadMoveJournal();
// False when a journal is still there afterwards.
bool RemoveMoveJournal();

}  // namespace korvalin
