// Each exit code the command line documents, produced by a real run of
// Korvalin.exe, with what a deployment script relies on when it sees it:
// where the code says nothing changed, nothing did.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

bool Says(const std::string& out, const std::wstring& text) { return out.find(Utf8(text)) != std::string::npos; }

// A key of the suite's own whose values anyone may read and no one may set.
class LockedKey {
 public:
  static constexpr char kPath[] = "Software\\KorvalinE2E\\Locked";
  explicit LockedKey(const std::string& directory) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(key, "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                   static_cast<DWORD>(directory.size() + 1));
    locked_ = SetAccess(key, "D:P(A;;KR;;;WD)");
    RegCloseKey(key);
  }
  ~LockedKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPath, 0, WRITE_DAC | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
      SetAccess(key, "D:P(A;;KA;;;WD)");
      RegCloseKey(key);
    }
    RegDeleteKeyExA(HKEY_CURRENT_USER, kPath, KEY_WOW64_64KEY, 0);
  }
  bool locked() const { return locked_; }
  std::string value() const { return RegQuery(std::string("HKCU\\") + kPath, "Desktop").data; }

 private:
  static bool SetAccess(HKEY key, const char* descriptor) {
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security, nullptr))
      return false;
    const bool set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security) == ERROR_SUCCESS;
    LocalFree(security);
    return set;
  }
  bool locked_ = false;
};

TEST(ExitCodes, ThreeIsACopyThatFailedAndSwitchedNothing) {
  Folders folders("exit3");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("exit3");
  HANDLE held = CreateFileA((old + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 3u) << out;
  CloseHandle(held);
  EXPECT_TRUE(Says(out, L"未能复制：sub\\b.txt")) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_TRUE(run.Read("Move.data").empty());
}

// A registry value the account may read but not set: the copy was made and
// verified, the switch refused for want of rights. (Code 4, a write that
// fails for another reason, is produced through the recording stand-in.)
TEST(ExitCodes, EightIsAStepRefusedForWantOfRights) {
  Folders folders("exit8");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  PutUserFiles(old);
  LockedKey key(old);
  if (!key.locked()) GTEST_SKIP() << "the registry here takes no access rules";
  KorvalinRun run("exit8");
  run.Put("rules.json", "{\"regPath\": [{\"title\": \"Locked\", \"name\": \"Desktop\", \"root\": 3, "
                        "\"path\": \"Software\\\\KorvalinE2E\\\\Locked\"}]}");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 8u) << out;
  EXPECT_TRUE(Says(out, L"修改目录时发生错误，修改失败！")) << out;
  EXPECT_TRUE(Says(out, L"此账户没有这一步所需的权限（拒绝访问），文件夹未迁移。")) << out;
  EXPECT_EQ(key.value(), old);
  EXPECT_TRUE(HoldsUserFiles(old)) << "nothing was cleared";
  EXPECT_TRUE(HoldsUserFiles(fresh)) << "the copy had been verified";
  EXPECT_TRUE(run.Read("Move.data").empty());
}

TEST(ExitCodes, FiveIsAnotherKorvalinOfTheSameDirectory) {
  Folders folders("exit5");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("exit5");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files", &out), 5u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(Entries(fresh).empty());
  // Reading is no harm.
  EXPECT_EQ(run.RunCommand("/list", &out), 0u) << out;
  // A second window says so and ends.
  HANDLE second = test::StartProcess(run.directory() + "\\Korvalin.exe", "", run.directory().c_str(),
                                     test::StandardHandles::kNul);
  ASSERT_NE(second, nullptr);
  Dialog told = WaitForDialog(GetProcessId(second));
  EXPECT_TRUE(told.Shows(L"Korvalin 正在运行")) << told.AllTexts();
  Answer(told, IDCLOSE);
  EXPECT_EQ(test::FinishProcess(second, 20000), 5u);
  EXPECT_EQ(run.Close(), 0u);
  // Once the first is gone, the move runs.
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files", &out), 0u) << out;
}

TEST(ExitCodes, SixIsAMoveDoneWhoseClearKeptFiles) {
  Folders folders("exit6");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("exit6");
  // Readable, so it is copied; not to be deleted while it is open.
  HANDLE open = CreateFileA((old + "\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 6u) << out;
  CloseHandle(open);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_EQ(ReadFileBytes(old + "\\a.txt"), "alpha");
  EXPECT_FALSE(IsDirectory(old + "\\sub"));
}

TEST(ExitCodes, TwoIsAnOptionThatWouldDoNothingAsAsked) {
  Folders folders("exit2");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("exit2");
  std::string out;
  for (const char* options : {" /clear", " /replace", " /clear /replace"}) {
    EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + options, &out), 2u) << options << out;
    EXPECT_NE(out.find("/clear and /replace need /files"), std::string::npos) << out;
  }
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(Entries(fresh).empty());
}

}  // namespace
}  // namespace korvalin::e2e
