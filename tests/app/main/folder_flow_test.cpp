// Moving a folder as a user does it: the row action run on this process's
// main window, the real folder browser and task dialogs answered by a driver
// thread, then the registry, the files and the row checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/main/globals.h"
#include "app/main/folder_action.h"
#include "runtime/values/value_helpers.h"
#include "tests/app/main/flow_support.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

const std::wstring kCaption = L"Korvalin " KORVALIN_VERSION_W;
const std::wstring kClearQuestion = L"文件已迁移完成，是否将原目录文件清空？";
// What a failed copy says: the folder was not moved, where it still is and
// where the partial copy lies.
std::wstring CopyFailed(const std::string& old, const std::string& target, const std::string& file) {
  return L"部分文件未能复制到新目录，文件夹未迁移。\r\n文件夹仍使用原目录'" + Wide(old) +
         L"'，原目录中的文件已全部保留。\r\n已复制的部分文件位于'" + Wide(target) + L"'。\r\n未能复制：" + Wide(file);
}
const std::wstring kNestedRefused = L"新目录不能是当前目录，也不能位于当前目录之内！";

class FolderFlow : public FlowSuite {
 protected:
  void SetUp() override {
    EnsureMainWindow();
    ASSERT_NE(TestMainWindow(), nullptr);
    keyPath_ = "Software\\KorvalinTests\\" + UniqueName("Flow");
    name_ = UniqueName("Folder");
    base_ = MakeTempDirectory("flow");
    oldDir_ = base_ + "\\old";
    CreateDirectoryA(oldDir_.c_str(), nullptr);
  }
  void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, keyPath_); }

  int32_t AddTestRow(bool moveFiles, int32_t root = 3) {
    return AddRow("测试桌面", name_, root, keyPath_, moveFiles, oldDir_);
  }
  RegistryValue Value() const { return ReadValue(HKEY_CURRENT_USER, keyPath_, name_); }

  // Runs the row action while the driver answers; returns what it saw.
  std::vector<SeenDialog> Run(int32_t row, std::vector<ScriptStep> script) {
    DialogDriver driver(std::move(script));
    RunFolderOperation(row);
    std::vector<SeenDialog> seen = driver.Finish();
    for (const SeenDialog& dialog : seen) {
      EXPECT_TRUE(dialog.scriptedPath.empty() || dialog.selected) << "not selected: " << dialog.scriptedPath;
    }
    return seen;
  }

  void FillOldDirectory() {
    WriteFile(oldDir_ + "\\a.txt", "alpha");
    CreateDirectoryA((oldDir_ + "\\sub").c_str(), nullptr);
    WriteFile(oldDir_ + "\\sub\\b.txt", "bravo-bravo");
  }
  void ExpectOldFilesKept() {
    EXPECT_EQ(ReadFile(oldDir_ + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadFile(oldDir_ + "\\sub\\b.txt"), "bravo-bravo");
  }

  std::string keyPath_, name_, base_, oldDir_;
};

std::wstring Confirmation(const std::string& directory) {
  return L"将'测试桌面'路径移动到'" + Wide(directory) + L"'，请确认？";
}

TEST_F(FolderFlow, InvalidRuleInBothModesNeverBrowses) {
  int32_t row = AddTestRow(false, -1);
  for (const char* mode : {"移动", "恢复"}) {
    SCOPED_TRACE(mode);
    rt::program::Free(modeLabel);
    modeLabel = rt::CopyText(mode);
    std::vector<SeenDialog> seen = Run(row, {Press(IDCLOSE)});
    ASSERT_EQ(seen.size(), 1u) << Describe(seen);
    EXPECT_FALSE(seen[0].browser);
    EXPECT_EQ(seen[0].title, kCaption);
    EXPECT_EQ(seen[0].owner, TestMainWindow());
    EXPECT_TRUE(seen[0].Shows(L"错误"));
    EXPECT_TRUE(seen[0].Shows(L"该条设置规则无效！无法修改..."));
  }
  rt::program::Free(modeLabel);
  modeLabel = rt::CopyText("移动");
  EXPECT_FALSE(Value().found);
}

TEST_F(FolderFlow, DriveRootIsRefusedAndCancelledChoicesChangeNothing) {
  FillOldDirectory();
  int32_t row = AddTestRow(true);
  std::vector<SeenDialog> seen = Run(row, {BrowseTo("Z:\\"), Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 2u) << Describe(seen);
  EXPECT_TRUE(seen[0].browser);
  EXPECT_TRUE(seen[0].Shows(L"选择新的'测试桌面'目录"));
  EXPECT_TRUE(seen[1].Shows(L"无法将目录选择为磁盘根目录！"));

  // Cancelling the browser ends silently.
  seen = Run(row, {BrowseCancel()});
  EXPECT_EQ(seen.size(), 1u);

  // Cancel on the confirmation.
  std::string target = MakeTempDirectory("flowtarget");
  seen = Run(row, {BrowseTo(target), Press(IDCANCEL)});
  ASSERT_EQ(seen.size(), 2u) << Describe(seen);
  EXPECT_TRUE(seen[1].Shows(L"确认操作"));
  EXPECT_TRUE(seen[1].Shows(Confirmation(target)));
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(RowCurrentDir(row), oldDir_);
  ExpectOldFilesKept();
  EXPECT_TRUE(DirectoryIsEmpty(target));
}

TEST_F(FolderFlow, WithoutFilesTheValueRowAndShellChangeOnly) {
  FillOldDirectory();
  int32_t row = AddTestRow(false);
  std::string target = MakeTempDirectory("flowtarget");
  std::vector<DWORD> explorersBefore = ExplorerProcesses();
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDOK)});
  ASSERT_EQ(seen.size(), 2u) << Describe(seen);  // no clear question
  RegistryValue value = Value();
  EXPECT_TRUE(value.found);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.text, target);
  EXPECT_EQ(RowCurrentDir(row), target);
  EXPECT_TRUE(DirectoryIsEmpty(target));
  ExpectOldFilesKept();
  // A new explorer.exe was started.
  std::vector<DWORD> after = ExplorerProcesses();
  EXPECT_TRUE(std::any_of(after.begin(), after.end(), [&](DWORD id) {
    return std::find(explorersBefore.begin(), explorersBefore.end(), id) == explorersBefore.end();
  }));
}

TEST_F(FolderFlow, MovedFilesReplaceSameNamedOnesAndARefusedClearKeepsTheOld) {
  FillOldDirectory();
  int32_t row = AddTestRow(true);
  std::string target = MakeTempDirectory("flowtarget");
  WriteFile(target + "\\a.txt", "stale content that is longer");
  // Declining the warning changes nothing.
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDCANCEL)});
  ASSERT_EQ(seen.size(), 2u) << Describe(seen);
  EXPECT_TRUE(seen[1].Shows(L"警告"));
  EXPECT_TRUE(seen[1].Shows(L"新目录'" + Wide(target) +
                            L"'中已有 1 个与原目录中同名的文件（例如'a.txt'），继续将用原目录中的文件替换它们。\r\n"
                            L"确定要替换吗？"))
      << seen[1].AllTexts();
  EXPECT_EQ(ReadFile(target + "\\a.txt"), "stale content that is longer");
  EXPECT_FALSE(Value().found);

  seen = Run(row, {BrowseTo(target), Press(IDOK), Press(IDOK), Press(IDCANCEL)});
  ASSERT_EQ(seen.size(), 4u) << Describe(seen);
  EXPECT_TRUE(seen[2].Shows(Confirmation(target)));
  EXPECT_TRUE(seen[3].Shows(kClearQuestion));
  EXPECT_EQ(ReadFile(target + "\\a.txt"), "alpha");
  EXPECT_EQ(ReadFile(target + "\\sub\\b.txt"), "bravo-bravo");
  ExpectOldFilesKept();
  EXPECT_EQ(Value().text, target);
  EXPECT_EQ(RowCurrentDir(row), target);
}

TEST_F(FolderFlow, AnAcceptedClearLeavesTheOldDirectoryEmpty) {
  FillOldDirectory();
  int32_t row = AddTestRow(true);
  std::string target = base_ + "\\new";  // created by the copy
  CreateDirectoryA(target.c_str(), nullptr);
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDOK), Press(IDOK)});
  ASSERT_EQ(seen.size(), 3u) << Describe(seen);
  EXPECT_TRUE(seen[2].Shows(kClearQuestion));
  EXPECT_EQ(ReadFile(target + "\\a.txt"), "alpha");
  EXPECT_EQ(ReadFile(target + "\\sub\\b.txt"), "bravo-bravo");
  EXPECT_TRUE(DirectoryExists(oldDir_));
  EXPECT_TRUE(DirectoryIsEmpty(oldDir_));
}

TEST_F(FolderFlow, AFailedCopyAsksNoClearQuestionAndLosesNothing) {
  FillOldDirectory();
  int32_t row = AddTestRow(true);
  std::string target = MakeTempDirectory("flowtarget");
  // A file the copy cannot read: held open without sharing.
  HANDLE held = CreateFileA((oldDir_ + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDOK), Press(IDCLOSE)});
  CloseHandle(held);
  ASSERT_EQ(seen.size(), 3u) << Describe(seen);
  EXPECT_FALSE(seen[2].Shows(kClearQuestion));
  EXPECT_TRUE(seen[2].Shows(CopyFailed(oldDir_, target, "sub\\b.txt"))) << seen[2].AllTexts();
  ExpectOldFilesKept();
  // The folder was not switched: the value and the row stay.
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(RowCurrentDir(row), oldDir_);
}

TEST_F(FolderFlow, TheCurrentDirectoryIsNothingToDoAndOnesInsideItAreRefused) {
  FillOldDirectory();
  int32_t row = AddTestRow(true);
  for (const std::string& target : {oldDir_ + "\\sub", oldDir_}) {
    SCOPED_TRACE(target);
    // Told before the question.
    std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDCLOSE)});
    ASSERT_EQ(seen.size(), 2u) << Describe(seen);
    if (target == oldDir_) {
      EXPECT_TRUE(seen[1].Shows(L"提醒"));
      EXPECT_TRUE(seen[1].Shows(L"'测试桌面'已经位于'" + Wide(oldDir_) + L"'，无需移动，未作任何修改。"))
          << seen[1].AllTexts();
    } else {
      EXPECT_TRUE(seen[1].Shows(L"错误"));
      EXPECT_TRUE(seen[1].Shows(kNestedRefused));
    }
    EXPECT_FALSE(Value().found);
    EXPECT_EQ(RowCurrentDir(row), oldDir_);
    ExpectOldFilesKept();
  }
}

TEST_F(FolderFlow, AnOldDirectoryThatIsALinkKeepsItsTargetsFiles) {
  std::string realOld = base_ + "\\real";
  CreateDirectoryA(realOld.c_str(), nullptr);
  WriteFile(realOld + "\\a.txt", "alpha");
  RemoveDirectoryA(oldDir_.c_str());
  ASSERT_TRUE(MakeDirectoryLink(oldDir_, realOld));
  int32_t row = AddTestRow(true);
  std::string target = MakeTempDirectory("flowtarget");
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDOK), Press(IDOK), Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 4u) << Describe(seen);
  EXPECT_TRUE(seen[2].Shows(kClearQuestion));
  EXPECT_EQ(ReadFile(target + "\\a.txt"), "alpha");
  // Clearing never deletes through a link: what it points to stays, and
  // the user is told.
  EXPECT_EQ(ReadFile(realOld + "\\a.txt"), "alpha");
  EXPECT_TRUE(seen[3].Shows(L"提醒")) << seen[3].AllTexts();
}

TEST_F(FolderFlow, AFailedRegistryWriteShowsWriteFailedAndChangesNothingElse) {
  FillOldDirectory();
  // A lasting key cannot be made below a volatile one.
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  std::string childPath = keyPath_ + "\\Child";
  int32_t row = AddRow("测试桌面", name_, 3, childPath, true, oldDir_);
  std::string target = MakeTempDirectory("flowtarget");
  std::vector<SeenDialog> seen = Run(row, {BrowseTo(target), Press(IDOK), Press(IDCLOSE)});
  ASSERT_EQ(seen.size(), 3u) << Describe(seen);
  EXPECT_TRUE(seen[2].Shows(L"修改失败"));
  EXPECT_TRUE(seen[2].Shows(L"修改目录时发生错误，修改失败！\r\n文件夹仍使用原目录'" + Wide(oldDir_) +
                            L"'；已复制的文件位于'" + Wide(target) + L"'。"))
      << seen[2].AllTexts();
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, childPath, name_).found);
  EXPECT_EQ(RowCurrentDir(row), oldDir_);
  // The copy came first; the old place keeps everything.
  EXPECT_EQ(ReadFile(target + "\\a.txt"), "alpha");
  ExpectOldFilesKept();
}

}  // namespace
}  // namespace korvalin::test
