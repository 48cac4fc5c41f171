// Sequential reading of a bounded byte block through a fixed buffer. Every
// read is checked against the block's end first; a failed read leaves the
// reader failed for good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rt {

class BlockReader {
 public:
  static constexpr size_t kBufferSize = 4096;

  BlockReader(const void* block, size_t size);
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  bool Int32(int32_t& value);
  bool Uint32(uint32_t& value);
  // A count stored as int32: fails when negative or when count * unit bytes
  // would run past the end.
  bool Count(int32_t& count, size_t unitBytes);
  bool Bytes(size_t count, std::string& out);
  bool Skip(size_t count);
  // Bytes up to a NUL, which is consumed and not kept.
  bool NulTerminated(std::string& out);
  // An int32 byte count and that many bytes.
  bool Blob(std::string& out);

  size_t Remaining() const { return size_ - consumed_; }
  bool Failed() const { return failed_; }

 private:
  bool Fail();
  bool Refill();
  bool Take(void* out, size_t count);

  const uint8_t* source_;
  size_t size_;
  size_t consumed_ = 0;  // bytes handed out
  size_t buffered_ = 0;  // bytes copied from the block so far
  size_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
  bool failed_ = false;
  uint8_t buffer_[kBufferSize];
};

}  // namespace rt
