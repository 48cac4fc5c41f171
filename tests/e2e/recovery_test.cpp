// Recovery mode: started with -reset, the question answered OK, and a
// folder pointed back at the default kept under HKLM.
#include <gtest/gtest.h>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/e2e/row_ink.h"

namespace korvalin::e2e {
namespace {

constexpr char kBackup[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Backup";

int ButtonInkMismatch(const KorvalinRun& run, int row, const std::string& caption) {
  int width = run.RowWidth();
  return InkMismatch(run, row, {width - 98, 26, width - 28, 48}, {width - 100, 24, width - 26, 50},
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE, caption);
}

TEST(Recovery, ResetAnsweredOkRestoresTheDefaultFromHklm) {
  Folders folders("restore");
  std::string moved = folders.Make("moved");
  PutUserFiles(moved);
  std::string home = folders.root + "\\home";
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", moved));
  ASSERT_TRUE(RegAdd(kBackup, "Desktop", "REG_EXPAND_SZ", "%SystemDrive%\\kv-restore\\home"));
  KorvalinRun run("restore");
  ASSERT_TRUE(run.Start("-reset"));
  ASSERT_TRUE(run.WaitForRows(4));

  Dialog question = WaitForDialog(run.processId());
  EXPECT_EQ(question.title, L"Korvalin " KORVALIN_VERSION_W);
  EXPECT_TRUE(question.Shows(L"确认操作模式")) << question.AllTexts();
  EXPECT_TRUE(question.Shows(L"请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？")) << question.AllTexts();
  Answer(question, IDOK);
  for (int i = 0; i < 100 && run.Caption() != L"Korvalin " KORVALIN_VERSION_W L" [ 恢复模式 ]"; ++i) Sleep(50);
  EXPECT_EQ(run.Caption(), L"Korvalin " KORVALIN_VERSION_W L" [ 恢复模式 ]");

  // Every row's button reads 恢复 once the rows are painted again.
  run.BringForward();
  for (int row = 1; row <= 3; ++row) {
    int asRestore = ButtonInkMismatch(run, row, "恢复"), asMove = ButtonInkMismatch(run, row, "移动");
    EXPECT_LT(asRestore * 3, asMove) << "row " << row << ": " << asRestore << " " << asMove;
  }

  run.ClickRowButton(1);
  Dialog confirm = WaitForDialog(run.processId());
  EXPECT_EQ(confirm.title, L"Korvalin " KORVALIN_VERSION_W L" [ 恢复模式 ]");
  std::wstring expected = L"确认将'桌面'恢复成默认目录吗？\r\n默认目录：" + std::wstring(home.begin(), home.end());
  ASSERT_TRUE(confirm.Shows(expected)) << confirm.AllTexts();
  Answer(confirm, IDOK);
  // The files go along; the old place is kept this time.
  Dialog clear = WaitForDialog(run.processId(), 30000);
  ASSERT_TRUE(clear.Shows(L"文件已迁移完成，是否将原目录文件清空？")) << clear.AllTexts();
  Answer(clear, IDCANCEL);
  Sleep(1500);

  RegValue value = RegQuery(kShellFolders, "Desktop");
  EXPECT_EQ(value.type, "REG_SZ");
  EXPECT_EQ(value.data, home);
  EXPECT_TRUE(HoldsUserFiles(home));
  EXPECT_TRUE(HoldsUserFiles(moved));
  EXPECT_EQ(run.Close(), 0u);
  RegDeleteKey(kBackup);
}

}  // namespace
}  // namespace korvalin::e2e
