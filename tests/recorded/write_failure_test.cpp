// Exit code 4: the registry refuses the switched value for another reason
// than rights, after a verified copy. Wine refuses a write only for want of
// rights (code 8), so the recorder's RegSetValueExA answers with a failure.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/command/command_line.h"
#include "app/command/command_mode.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

TEST(WriteFailure, FourIsAValueNotWrittenAfterAVerifiedCopyAndNothingSwitched) {
  const RegistryValue before = ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop");
  char desktop[MAX_PATH] = {};
  ExpandEnvironmentStringsA(before.text.c_str(), desktop, MAX_PATH);
  WriteFile(std::string(desktop) + "\\korvalin-write-failure.txt", "kept");
  const std::string fresh = MakeTempDirectory("write-failure") + "\\new";
  KorvalinRecorder()->setValueStatus = ERROR_INVALID_FUNCTION;
  const int code = RunCommand(ParseCommandLine({"/move", "Desktop", fresh, "/files", "/clear"}), true);
  KorvalinRecorder()->setValueStatus = 0;
  EXPECT_EQ(code, kExitWriteFailed);
  const RegistryValue after = ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop");
  EXPECT_EQ(after.text, before.text);
  EXPECT_EQ(after.type, before.type);
  EXPECT_EQ(ReadFile(std::string(desktop) + "\\korvalin-write-failure.txt"), "kept") << "nothing was cleared";
  EXPECT_EQ(ReadFile(fresh + "\\korvalin-write-failure.txt"), "kept") << "the copy had been verified";
  DeleteFileA((std::string(desktop) + "\\korvalin-write-failure.txt").c_str());
}

}  // namespace
}  // namespace korvalin::test
