// The reader against damaged copies of the program's own block, each placed
// so that its last byte is followed by a page that faults on any access.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "app/main/entry.h"
#include "runtime/windows/window_templates.h"

namespace korvalin::test {
namespace {

// A read outside the block ends the test program at once, with a word why,
// instead of waiting on a debugger.
LONG WINAPI ReportFault(EXCEPTION_POINTERS* e) {
  std::fprintf(stderr, "template reader faulted: exception %08lx\n",
               static_cast<unsigned long>(e->ExceptionRecord->ExceptionCode));
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

class GuardedBlock {
 public:
  GuardedBlock() {
    SetUnhandledExceptionFilter(ReportFault);
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    page_ = si.dwPageSize;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (base_) VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
  }
  ~GuardedBlock() {
    SetUnhandledExceptionFilter(nullptr);
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
  }
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;

  bool ok() const { return base_ != nullptr; }
  // Reads the bytes copied to end exactly at the faulting page.
  bool Read(const uint8_t* bytes, size_t size) {
    uint8_t* at = base_ + page_ - size;
    std::memcpy(at, bytes, size);
    rt::TemplateCollection out;
    return rt::ReadTemplateBlock(at, size, out);
  }

 private:
  size_t page_ = 0;
  uint8_t* base_ = nullptr;
};

std::vector<uint8_t> ProgramBlock() {
  const rt::ProgramImageHeader& h = ProgramHeader();
  const auto* bytes = static_cast<const uint8_t*>(h.templateBlock);
  return std::vector<uint8_t>(bytes, bytes + h.templateBlockSize);
}

TEST(ProgramTemplateBlockDamage, EveryTruncationFailsTheReadWithoutReadingPastTheEnd) {
  GuardedBlock guard;
  ASSERT_TRUE(guard.ok());
  const std::vector<uint8_t> block = ProgramBlock();
  ASSERT_TRUE(guard.Read(block.data(), block.size()));
  for (size_t size = 0; size < block.size(); ++size) EXPECT_FALSE(guard.Read(block.data(), size)) << size;
}

// A value of the kinds that break counts and offsets.
int32_t HostileValue(std::mt19937& random, int32_t old, size_t blockSize) {
  switch (random() % 10) {
    case 0:
      return 0x7FFFFFFF;
    case 1:
      return static_cast<int32_t>(0x80000000);
    case 2:
      return -1;
    case 3:
      return -static_cast<int32_t>(random() % 64);
    case 4:
      return old + 1;
    case 5:
      return old - 1;
    case 6:
      return static_cast<int32_t>(blockSize);
    case 7:
      return static_cast<int32_t>(blockSize + 1 + random() % 8);
    case 8:
      return static_cast<int32_t>(random() % 4097);
    default:
      return static_cast<int32_t>(random());
  }
}

void Damage(std::vector<uint8_t>& block, std::mt19937& random) {
  const int changes = 1 + static_cast<int>(random() % 3);
  for (int i = 0; i < changes && !block.empty(); ++i) {
    const size_t at = random() % block.size();
    if (random() % 3 == 0 || block.size() - at < 4) {
      block[at] ^= static_cast<uint8_t>(1 + random() % 255);
      continue;
    }
    int32_t word = 0;
    std::memcpy(&word, &block[at], 4);
    word = HostileValue(random, word, block.size());
    std::memcpy(&block[at], &word, 4);
  }
  if (random() % 8 == 0) block.resize(random() % (block.size() + 1));
}

TEST(ProgramTemplateBlockDamage, SeededMutationsEitherReadOrFailTheRead) {
  GuardedBlock guard;
  ASSERT_TRUE(guard.ok());
  const std::vector<uint8_t> original = ProgramBlock();
  std::mt19937 random(20261208);
  int read = 0;
  int failed = 0;
  for (int i = 0; i < 100000; ++i) {
    std::vector<uint8_t> block = original;
    Damage(block, random);
    (guard.Read(block.data(), block.size()) ? read : failed)++;
  }
  // Both outcomes occur: the mutations reach past the checks and around them.
  EXPECT_GT(read, 1000);
  EXPECT_GT(failed, 1000);
}

}  // namespace
}  // namespace korvalin::test
