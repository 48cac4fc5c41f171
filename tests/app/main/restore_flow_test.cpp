// Recovery mode's row action against the real registry and task dialogs:
// the default comes from HKLM under the rule's key path and "Backup".
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/main/globals.h"
#include "app/main/folder_action.h"
#include "runtime/values/value_helpers.h"
#include "tests/app/main/flow_support.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

const std::wstring kNothingToRestore = L"未找到该目录的默认路径，无法恢复，未作任何修改！";

class RestoreFlow : public FlowSuite {
 protected:
  void SetUp() override {
    EnsureMainWindow();
    ASSERT_NE(TestMainWindow(), nullptr);
    rt::program::Free(modeLabel);
    modeLabel = rt::CopyText("恢复");
    keyPath_ = "Software\\KorvalinTests\\" + UniqueName("Restore");
    name_ = UniqueName("Folder");
    currentDir_ = MakeTempDirectory("restore");
    WriteFile(currentDir_ + "\\keep.txt", "keep");
  }
  void TearDown() override {
    rt::program::Free(modeLabel);
    modeLabel = rt::CopyText("移动");
    DeleteKeyTree(HKEY_CURRENT_USER, keyPath_);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath_);
  }

  int32_t AddTestRow(bool moveFiles = false) { return AddRow("测试文档", name_, 3, keyPath_, moveFiles, currentDir_); }
  void SetDefault(const std::string& text, DWORD type = REG_SZ) {
    WriteValue(HKEY_LOCAL_MACHINE, keyPath_ + "\\Backup", name_, text, type);
  }
  RegistryValue Value() const { return ReadValue(HKEY_CURRENT_USER, keyPath_, name_); }

  std::vector<SeenDialog> Run(int32_t row, std::vector<ScriptStep> script) {
    DialogDriver driver(std::move(script));
    RunFolderOperation(row);
    return driver.Finish();
  }

  void ExpectUnchanged(int32_t row) {
    EXPECT_FALSE(Value().found);
    EXPECT_EQ(RowCurrentDir(row), currentDir_);
    EXPECT_EQ(ReadFile(currentDir_ + "\\keep.txt"), "keep");
  }

  std::string keyPath_, name_, currentDir_;
};

TEST_F(RestoreFlow, ADefaultEqualToTheCurrentDirectoryNeedsNoRestore) {
  int32_t row = AddTestRow();
  SetDefault(currentDir_);
  std::vector<SeenDialog> seen = Run(row, {Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 1u) << Describe(seen);
  EXPECT_FALSE(seen[0].browser);
  EXPECT_TRUE(seen[0].Shows(L"提醒"));
  EXPECT_TRUE(seen[0].Shows(L"当前设置路径为默认路径，无需恢复！"));
  ExpectUnchanged(row);
}

TEST_F(RestoreFlow, ALetterCaseDifferenceIsTheSamePlaceAndNothingToDo) {
  int32_t row = AddTestRow(true);
  std::string upper = currentDir_;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_NE(upper, currentDir_);
  SetDefault(upper);
  // Accepted, it would copy the folder onto itself and then empty it.
  std::vector<SeenDialog> seen = Run(row, {Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 1u) << Describe(seen);
  EXPECT_TRUE(seen[0].Shows(L"提醒"));
  EXPECT_TRUE(seen[0].Shows(L"'测试文档'已经位于'" + Wide(upper) + L"'，无需移动，未作任何修改。")) << seen[0].AllTexts();
  ExpectUnchanged(row);
}

TEST_F(RestoreFlow, AnExpandableDefaultIsShownAndWrittenExpanded) {
  int32_t row = AddTestRow();
  std::string folder = UniqueName("KorvalinDefault");
  SetDefault("%USERPROFILE%\\" + folder, REG_EXPAND_SZ);
  char profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH), 0u);
  std::string expanded = std::string(profile) + "\\" + folder;
  std::vector<SeenDialog> seen = Run(row, {Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u) << Describe(seen);
  EXPECT_TRUE(seen[0].Shows(L"确认将'测试文档'恢复成默认目录吗？\r\n默认目录：" + Wide(expanded)));
  RegistryValue value = Value();
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.text, expanded);
  EXPECT_EQ(RowCurrentDir(row), expanded);
}

TEST_F(RestoreFlow, AnEmptyDefaultChangesNothing) {
  int32_t row = AddTestRow(true);
  // No Backup value at all, then an empty one.
  for (bool stored : {false, true}) {
    SCOPED_TRACE(stored ? "empty value" : "no value");
    if (stored) SetDefault("");
    std::vector<SeenDialog> seen = Run(row, {Press(IDCLOSE)});
    ASSERT_EQ(seen.size(), 1u) << Describe(seen);
    EXPECT_TRUE(seen[0].Shows(L"提醒"));
    EXPECT_TRUE(seen[0].Shows(kNothingToRestore));
    ExpectUnchanged(row);
  }
}

TEST_F(RestoreFlow, ADefaultInsideTheCurrentDirectoryIsRefused) {
  int32_t row = AddTestRow(true);
  SetDefault(currentDir_ + "\\inner");
  std::vector<SeenDialog> seen = Run(row, {Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 1u) << Describe(seen);
  EXPECT_TRUE(seen[0].Shows(L"新目录不能是当前目录，也不能位于当前目录之内！"));
  ExpectUnchanged(row);
}

}  // namespace
}  // namespace korvalin::test
