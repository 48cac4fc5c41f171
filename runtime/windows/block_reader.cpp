#include "runtime/windows/block_reader.h"

#include <cstring>

namespace rt {

BlockReader::BlockReader(const void* block, size_t size)
    : source_(static_cast<const uint8_t*>(block)), size_(block ? size : 0) {}

bool BlockReader::Fail() {
  failed_ = true;
  return false;
}

// Moves the unread part of the buffer to its front and tops it up from the
// block, never past the block's end.
bool BlockReader::Refill() {
  size_t unread = bufferLength_ - (consumed_ - bufferStart_);
  if (unread > 0) std::memmove(buffer_, buffer_ + (consumed_ - bufferStart_), unread);
  size_t room = kBufferSize - unread;
  size_t available = size_ - buffered_;
  size_t count = room < available ? room : available;
  if (count > 0) std::memcpy(buffer_ + unread, source_ + buffered_, count);
  buffered_ += count;
  bufferStart_ = consumed_;
  bufferLength_ = unread + count;
  return count > 0;
}

// Copies count bytes that the caller has checked lie inside the block; a
// block that ends early all the same fails the reader instead of looping.
bool BlockReader::Take(void* out, size_t count) {
  auto* target = static_cast<uint8_t*>(out);
  while (count > 0) {
    size_t unread = bufferLength_ - (consumed_ - bufferStart_);
    if (unread == 0) {
      if (!Refill()) return Fail();
      continue;
    }
    size_t n = count < unread ? count : unread;
    if (target) {
      std::memcpy(target, buffer_ + (consumed_ - bufferStart_), n);
      target += n;
    }
    consumed_ += n;
    count -= n;
  }
  return true;
}

bool BlockReader::Int32(int32_t& value) {
  uint32_t bits = 0;
  if (!Uint32(bits)) return false;
  value = static_cast<int32_t>(bits);
  return true;
}

bool BlockReader::Uint32(uint32_t& value) {
  if (failed_ || Remaining() < 4) return Fail();
  uint8_t b[4];
  if (!Take(b, 4)) return false;
  value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool BlockReader::Count(int32_t& count, size_t unitBytes) {
  if (!Int32(count)) return false;
  if (count < 0) return Fail();
  if (unitBytes > 0 && static_cast<uint64_t>(count) * unitBytes > Remaining()) return Fail();
  return true;
}

bool BlockReader::Bytes(size_t count, std::string& out) {
  if (failed_ || count > Remaining()) return Fail();
  out.resize(count);
  return Take(out.data(), count);
}

bool BlockReader::Skip(size_t count) {
  if (failed_ || count > Remaining()) return Fail();
  return Take(nullptr, count);
}

bool BlockReader::NulTerminated(std::string& out) {
  if (failed_) return false;
  out.clear();
  for (;;) {
    if (Remaining() == 0) return Fail();
    size_t unread = bufferLength_ - (consumed_ - bufferStart_);
    if (unread == 0) {
      if (!Refill()) return Fail();
      continue;
    }
    const uint8_t* at = buffer_ + (consumed_ - bufferStart_);
    const void* nul = std::memchr(at, 0, unread);
    size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - at) : unread;
    out.append(reinterpret_cast<const char*>(at), n);
    consumed_ += n;
    if (nul) {
      consumed_ += 1;
      return true;
    }
  }
}

bool BlockReader::Blob(std::string& out) {
  int32_t count = 0;
  return Count(count, 1) && Bytes(static_cast<size_t>(count), out);
}

}  // namespace rt
