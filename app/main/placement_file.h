// "Win.data" beside the program: the main window's left, top, width and
// height as four little-endian 16-bit values, read back signed.
#pragma once

#include <cstdint>
#include <optional>

namespace korvalin {

struct SavedPlacement {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// What the file holds; nothing when it is missing, unreadable or its width
// half is zero. Bytes past the eighth are ignored, missing ones read as zero.
std::optional<SavedPlacement> ReadPlacementFile();

// Creates or replaces the file; each value keeps its low 16 bits. A failed
// write is silent.
void WritePlacementFile(const SavedPlacement& placement);

}  // namespace korvalin
