// Running out of memory inside a command is the runtime's allocation error,
// with the size asked for, not an exception escaping through the dispatcher.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"
#include "tests/support/test_support.h"

namespace {

namespace test = korvalin::test;

constexpr size_t kTextLength = 64u << 20;

// Reserves the address space in pieces of 4 MB and up, then gives back a
// few of the last: what is free are holes far too small for the text's
// copy, with room enough for the error box.
void TakeTheAddressSpace() {
  void* last[12] = {};
  size_t taken = 0;
  for (size_t chunk = 256u << 20; chunk >= (4u << 20); chunk /= 2)
    while (void* p = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS))
      if (chunk == (4u << 20)) last[taken++ % 12] = p;
  for (void* p : last)
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}

KORVALIN_SCENARIO(command_out_of_memory) {
  test::StartRuntime(test::PlainTestImage());
  auto* text = static_cast<char*>(rt::program::Allocate(kTextLength + 1));
  std::memset(text, 'x', kTextLength);
  text[kTextLength] = '\0';
  TakeTheAddressSpace();
  // ToText copies the text in a container before making the result.
  rt::program::DispatchCommand(rt::commands::ToText, {rt::program::TextArg(text)});
  return 4;
}

TEST(CommandsOutOfMemory, AreTheRuntimesAllocationError) {
  // Only a 32-bit process has an address space small enough to take whole.
  if (sizeof(void*) != 4) GTEST_SKIP() << "needs a 32-bit address space";
  test::ChildError error = test::AwaitChildError(test::StartChild("command_out_of_memory"));
  EXPECT_TRUE(error.shown) << "exit " << error.exitCode;
  EXPECT_EQ(error.text,
            "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(kTextLength + 1) + " 字节内存失败!\r\n");
  EXPECT_TRUE(test::IsExitMinusOne(error.exitCode)) << error.exitCode;
}

}  // namespace
