#include "app/main/placement_file.h"

#include <algorithm>
#include <cstring>

#include "app/main/globals.h"
#include "encoding/program_files.h"
#include "image/declared_functions.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr int32_t kPlacementBytes = 8;

// The eight-byte buffer comes from the process heap for each read or write.
class PlacementBuffer {
 public:
  PlacementBuffer() : bytes_(static_cast<uint8_t*>(dll::HeapAlloc(processHeap, HEAP_ZERO_MEMORY, kPlacementBytes))) {}
  ~PlacementBuffer() {
    if (bytes_) dll::HeapFree(processHeap, 0, bytes_);
  }
  PlacementBuffer(const PlacementBuffer&) = delete;
  PlacementBuffer& operator=(const PlacementBuffer&) = delete;
  uint8_t* get() const { return bytes_; }

 private:
  uint8_t* bytes_;
};

std::string PlacementPath() { return PathBesideProgram("Win.data"); }

int32_t SignedHalf(const uint8_t* at) {
  int16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

std::optional<SavedPlacement> ReadPlacementFile() {
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(PlacementPath().c_str()));
  PlacementBuffer buffer;
  if (!buffer.get()) return std::nullopt;
  int32_t length = std::min(rt::ByteSetLength(bytes.get()), kPlacementBytes);
  if (length > 0) std::memcpy(buffer.get(), rt::ByteSetData(bytes.get()), static_cast<size_t>(length));
  SavedPlacement p{SignedHalf(buffer.get()), SignedHalf(buffer.get() + 2), SignedHalf(buffer.get() + 4),
                   SignedHalf(buffer.get() + 6)};
  if (p.width == 0) return std::nullopt;
  return p;
}

void WritePlacementFile(const SavedPlacement& placement) {
  PlacementBuffer buffer;
  if (!buffer.get()) return;
  int32_t words[2] = {rt::cmd::MakeInt(placement.left, placement.top),
                      rt::cmd::MakeInt(placement.width, placement.height)};
  std::memcpy(buffer.get(), words, kPlacementBytes);
  rt::OwnedBlock bytes(rt::cmd::PointerToByteSet(buffer.get(), kPlacementBytes));
  rt::cmd::WriteFileBytes(PlacementPath().c_str(), {bytes.get()});
}

}  // namespace korvalin
