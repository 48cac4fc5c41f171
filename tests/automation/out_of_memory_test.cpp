// Allocation failures inside the bridge: this program's own operator new
// refuses large requests on demand, and a command that meets the refusal
// must end in the runtime's out-of-memory error, not in an exception that
// unwinds through the dispatcher.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "tests/automation/automation_test_support.h"

namespace {

std::atomic<size_t> refuseFrom{SIZE_MAX};

}  // namespace

void* operator new(size_t bytes) {
  if (bytes >= refuseFrom.load()) throw std::bad_alloc();
  if (void* block = std::malloc(bytes ? bytes : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace korvalin::test {
namespace {

constexpr size_t kRefuseFrom = 1 << 20;
constexpr size_t kNameBytes = 600000;  // its UTF-16 form needs more than kRefuseFrom

// argv[2]: "call" or "create"; both turn a long name into UTF-16 first.
KORVALIN_SCENARIO(bridge_out_of_memory) {
  if (argc < 3) return 2;
  StartRuntime(PlainTestImage());
  std::string name(kNameBytes, 'a');
  ComObject object;
  refuseFrom = kRefuseFrom;
  if (std::strcmp(argv[2], "call") == 0) object.callMethod(name.c_str(), IntArg(1));
  else object.create(name.c_str());
  refuseFrom = SIZE_MAX;
  return 0;
}

TEST(OutOfMemory, AContainerThatCannotGrowIsTheRuntimesAllocationError) {
  for (const char* command : {"call", "create"}) {
    SCOPED_TRACE(command);
    HANDLE child = StartChild("bridge_out_of_memory", command);
    ASSERT_NE(child, nullptr);
    std::string text;
    const bool shown = DismissProcessErrorBox(GetProcessId(child), &text, 15000);
    if (WaitForSingleObject(child, 20000) != WAIT_OBJECT_0) TerminateProcess(child, 1);
    DWORD exitCode = 0;
    GetExitCodeProcess(child, &exitCode);
    CloseHandle(child);
    ASSERT_TRUE(shown) << "no error box; exit code " << exitCode;
    const std::string prefix = "错误信息：分配 ";
    const size_t at = text.find(prefix);
    ASSERT_NE(at, std::string::npos) << text;
    char* end = nullptr;
    const unsigned long long bytes = std::strtoull(text.c_str() + at + prefix.size(), &end, 10);
    EXPECT_GE(bytes, 2 * kNameBytes) << "the byte count of the refused request";
    EXPECT_EQ(std::string(end).rfind(" 字节内存失败!", 0), 0u) << text;
    EXPECT_TRUE(IsExitMinusOne(exitCode)) << exitCode;
  }
}

}  // namespace
}  // namespace korvalin::test
