// The copy benchmark's source trees, random contents so that nothing
// compresses or deduplicates.
#include "bench/copy_trees.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace korvalin::bench {
namespace {

constexpr int kSmallFolders = 50;
constexpr int kSmallFilesPerFolder = 100;  // 5,000 files
constexpr size_t kSmallFileBytes = 4096;
constexpr int kLargeFiles = 5;
constexpr size_t kLargeFileBytes = 200u * 1000 * 1000;
constexpr size_t kChunkBytes = 4u << 20;

class RandomBytes {
 public:
  explicit RandomBytes(uint32_t seed) : x_(seed * 2654435761u + 1) {}
  void fill(std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
      x_ ^= x_ << 13;
      x_ ^= x_ >> 17;
      x_ ^= x_ << 5;
      std::memcpy(&bytes[i], &x_, 4);
    }
  }

 private:
  uint32_t x_;
};

bool WriteDataFile(const std::string& path, size_t size, uint32_t seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  RandomBytes random(seed);
  std::vector<uint8_t> chunk(size < kChunkBytes ? size : kChunkBytes);
  bool written = true;
  for (size_t left = size; left > 0 && written;) {
    const size_t now = left < chunk.size() ? left : chunk.size();
    random.fill(chunk);
    written = std::fwrite(chunk.data(), 1, now, file) == now;
    left -= now;
  }
  return std::fclose(file) == 0 && written;
}

bool MakeSmallTree(const std::string& small) {
  if (!CreateDirectoryA(small.c_str(), nullptr)) return false;
  for (int folder = 0; folder < kSmallFolders; ++folder) {
    const std::string directory = small + "\\folder" + std::to_string(folder);
    if (!CreateDirectoryA(directory.c_str(), nullptr)) return false;
    for (int i = 0; i < kSmallFilesPerFolder; ++i) {
      const uint32_t seed = static_cast<uint32_t>(folder * kSmallFilesPerFolder + i);
      if (!WriteDataFile(directory + "\\file" + std::to_string(i) + ".txt", kSmallFileBytes, seed)) return false;
    }
  }
  return true;
}

bool MakeLargeTree(const std::string& large) {
  if (!CreateDirectoryA(large.c_str(), nullptr)) return false;
  for (int i = 0; i < kLargeFiles; ++i)
    if (!WriteDataFile(large + "\\video" + std::to_string(i) + ".bin", kLargeFileBytes, 5000 + i)) return false;
  return true;
}

}  // namespace

bool MakeCopyTrees(const std::string& root) {
  CreateDirectoryA(root.c_str(), nullptr);
  return MakeSmallTree(root + "\\small") && MakeLargeTree(root + "\\large");
}

}  // namespace korvalin::bench
