// A copy over a file of the same name that Windows guards: read-only,
// hidden or system. Wine as root writes to such files anyway, so the
// recorder's CreateFileA refuses them as Windows does.
#include <gtest/gtest.h>

#include <windows.h>

#include "image/declared_functions.h"
#include "migrate/file_copy.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(CopyOver, AGuardedFileOfTheSameNameIsReplaced) {
  const std::string from = MakeTempDirectory("over-from"), to = MakeTempDirectory("over-to");
  const DWORD guards[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
  std::vector<char> block = NewCopyBlock();
  for (DWORD guard : guards) {
    SCOPED_TRACE(guard);
    const std::string name = "\\guarded-" + std::to_string(guard) + ".txt";
    const std::string source = from + name, target = to + name;
    const std::string content = "new contents " + std::to_string(guard);
    WriteFile(source, content);
    WriteFile(target, "old contents of a longer file");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), guard));

    // The stand-in is what the program reaches, and it refuses as Windows does.
    KorvalinRecorderClear();
    HANDLE refused = dll::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(refused, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    if (refused != INVALID_HANDLE_VALUE) CloseHandle(refused);
    EXPECT_EQ(RecorderLog().calls("CreateFileA").size(), 1u);

    CopyProgress progress(1, static_cast<int64_t>(content.size()));
    EXPECT_EQ(CopyOneFile(source, target, block, progress), static_cast<int64_t>(content.size()));
    EXPECT_EQ(ReadFile(target), content);
    EXPECT_EQ(GetFileAttributesA(target.c_str()) & guard, 0u);
  }
}

}  // namespace
}  // namespace korvalin::test
