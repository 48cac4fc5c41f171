// Moving the Desktop folder as a user does it: the button, the browser, the
// questions, and what the prefix holds afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/e2e/row_ink.h"

namespace korvalin::e2e {
namespace {

// No further dialog comes within a short while.
bool NoDialog(DWORD processId) { return WaitForDialog(processId, 1500).window == nullptr; }

bool NewExplorerSince(const std::vector<DWORD>& before, DWORD timeoutMs = 15000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(100)) {
    for (DWORD id : ExplorerProcesses())
      if (std::find(before.begin(), before.end(), id) == before.end()) return true;
  }
  return false;
}

// The directory line of row 1, against the text it should show.
int DirectoryInkMismatch(const KorvalinRun& run, const std::string& directory) {
  run.BringForward();
  int width = run.RowWidth();
  return InkMismatch(run, 1, {130, 6, width - 110, 33}, {130, 5, width, 47}, DT_VCENTER | DT_SINGLELINE,
                     "当前目录：" + directory);
}

TEST(MoveDesktop, FilesCopiedOldPlaceEmptiedValueRowAndShellUpdated) {
  Folders folders("move");
  std::string old = folders.Make("olddesk"), chosen = folders.Make("NEWPLACE");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("move");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  std::vector<DWORD> explorers = ExplorerProcesses();

  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  ASSERT_TRUE(browser.browser) << browser.AllTexts();
  EXPECT_TRUE(browser.Shows(L"选择新的'桌面'目录")) << browser.AllTexts();
  ASSERT_TRUE(BrowseTo(run.process(), browser, chosen));

  Dialog confirm = WaitForDialog(run.processId());
  EXPECT_EQ(confirm.title, L"Korvalin " KORVALIN_VERSION_W);
  EXPECT_TRUE(confirm.Shows(L"确认操作")) << confirm.AllTexts();
  ASSERT_TRUE(confirm.Shows(L"将'桌面'路径移动到'" + Wide(chosen) + L"'，请确认？")) << confirm.AllTexts();
  Answer(confirm, IDOK);

  Dialog clear = WaitForDialog(run.processId(), 30000);
  ASSERT_TRUE(clear.Shows(L"文件已迁移完成，是否将原目录文件清空？")) << clear.AllTexts();
  Answer(clear, IDOK);

  EXPECT_TRUE(NewExplorerSince(explorers)) << "the shell was not started again";
  RegValue value = RegQuery(kShellFolders, "Desktop");
  EXPECT_EQ(value.type, "REG_SZ");
  EXPECT_EQ(value.data, chosen);
  EXPECT_TRUE(HoldsUserFiles(chosen));
  EXPECT_TRUE(IsDirectory(old));
  EXPECT_TRUE(Entries(old).empty());
  // The row shows the new directory, not the old one (once the window of
  // the restarted shell has come up and Korvalin is raised above it).
  Sleep(1500);
  int shownNew = DirectoryInkMismatch(run, chosen);
  int shownOld = DirectoryInkMismatch(run, old);
  // Drawn alike here and there, the right text matches to the pixel.
  EXPECT_LT(shownNew, 20) << shownNew;
  EXPECT_GT(shownOld, 100) << shownOld;
  EXPECT_TRUE(NoDialog(run.processId()));
  EXPECT_EQ(run.Close(), 0u);
}

TEST(MoveDesktop, DriveRootNestedDestinationAndCancelChangeNothing) {
  Folders folders("refuse");
  std::string old = folders.Make("desk"), elsewhere = folders.Make("elsewhere");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("refuse");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));

  // A drive root.
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  ASSERT_TRUE(browser.browser) << browser.AllTexts();
  ASSERT_TRUE(BrowseTo(run.process(), browser, "C:\\"));
  Dialog refusal = WaitForDialog(run.processId());
  EXPECT_TRUE(refusal.Shows(L"无法将目录选择为磁盘根目录！")) << refusal.AllTexts();
  Answer(refusal, IDCLOSE);
  EXPECT_TRUE(NoDialog(run.processId()));

  // A directory inside the current one.
  run.ClickRowButton(1);
  browser = WaitForDialog(run.processId());
  ASSERT_TRUE(BrowseTo(run.process(), browser, old + "\\sub"));
  Dialog confirm = WaitForDialog(run.processId());
  if (confirm.Shows(L"确认操作")) {
    Answer(confirm, IDOK);
    refusal = WaitForDialog(run.processId());
  } else {
    refusal = confirm;
  }
  EXPECT_TRUE(refusal.Shows(L"新目录不能是当前目录，也不能位于当前目录之内！")) << refusal.AllTexts();
  Answer(refusal, IDCLOSE);
  EXPECT_TRUE(NoDialog(run.processId()));

  // Cancel on the confirmation.
  run.ClickRowButton(1);
  browser = WaitForDialog(run.processId());
  ASSERT_TRUE(BrowseTo(run.process(), browser, elsewhere));
  confirm = WaitForDialog(run.processId());
  ASSERT_TRUE(confirm.Shows(L"将'桌面'路径移动到'" + Wide(elsewhere) + L"'，请确认？")) << confirm.AllTexts();
  Answer(confirm, IDCANCEL);
  EXPECT_TRUE(NoDialog(run.processId()));

  RegValue value = RegQuery(kShellFolders, "Desktop");
  EXPECT_EQ(value.type, "REG_SZ");
  EXPECT_EQ(value.data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_TRUE(Entries(elsewhere).empty());
  EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::e2e
