// Moves that must not strand or lose files, driven from outside: a copy
// that fails, a file that comes while the clear question is open, a place
// that is the current one under another name, two folders about to share a
// place, a cancelled copy, and a move cut short by the end of the process.
#include <gtest/gtest.h>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/links.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

// Clicks row 1 (the Desktop), picks the directory and confirms; returns
// the dialog that comes after the confirmation.
Dialog MoveDesktopTo(KorvalinRun& run, const std::string& directory) {
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  EXPECT_TRUE(browser.browser) << browser.AllTexts();
  EXPECT_TRUE(BrowseTo(run.process(), browser, directory));
  Dialog confirm = WaitForDialog(run.processId());
  EXPECT_TRUE(confirm.Shows(L"将'桌面'路径移动到'" + Wide(directory) + L"'，请确认？")) << confirm.AllTexts();
  Answer(confirm, IDOK);
  return WaitForDialog(run.processId(), 60000);
}

// A Desktop of many small files: a copy long enough to be caught running.
constexpr int kManyFiles = 3000;
void PutManyFiles(const std::string& directory) {
  CreateDirectoryA((directory + "\\many").c_str(), nullptr);
  const std::string block(4096, 'k');
  for (int i = 0; i < kManyFiles; ++i) WriteFileBytes(directory + "\\many\\f" + std::to_string(i) + ".bin", block);
}

// Starts moving the Desktop (with many files) to the directory; returns
// the progress window once the copy runs.
HWND StartLongMove(KorvalinRun& run, const std::string& directory) {
  if (!run.Start() || !run.WaitForRows(4)) return nullptr;
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  if (!BrowseTo(run.process(), browser, directory)) return nullptr;
  Answer(WaitForDialog(run.processId()), IDOK);
  return test::WaitForProgressWindow(run.processId());
}

TEST(SafeMove, AFailedCopyLeavesTheValueAndEveryFileWhereTheyWere) {
  Folders folders("failcopy");
  std::string old = folders.Make("old"), chosen = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("failcopy");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  // A file the copy cannot read: open here without sharing.
  HANDLE held = CreateFileA((old + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Dialog failed = MoveDesktopTo(run, chosen);
  CloseHandle(held);
  EXPECT_TRUE(failed.Shows(L"文件未能全部迁移")) << failed.AllTexts();
  Answer(failed, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "no clear question";
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_EQ(run.Close(), 0u);
}

TEST(SafeMove, AFileThatComesWhileTheClearQuestionIsOpenSurvives) {
  Folders folders("clearlate");
  std::string old = folders.Make("old"), chosen = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("clearlate");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  Dialog clear = MoveDesktopTo(run, chosen);
  ASSERT_TRUE(clear.Shows(L"文件已迁移完成，是否将原目录文件清空？")) << clear.AllTexts();
  // The shell still writes to the old place until it restarts.
  WriteFileBytes(old + "\\arrived-later.txt", "later");
  Answer(clear, IDOK);
  Dialog kept = WaitForDialog(run.processId());
  EXPECT_TRUE(kept.Shows(L"提醒")) << kept.AllTexts();
  Answer(kept, IDCLOSE);
  EXPECT_EQ(ReadFileBytes(old + "\\arrived-later.txt"), "later");
  EXPECT_FALSE(IsDirectory(old + "\\sub"));
  EXPECT_TRUE(HoldsUserFiles(chosen));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, chosen);
  EXPECT_EQ(run.Close(), 0u);
}

TEST(SafeMove, ALinkOrAShortNameToTheCurrentDirectoryChangesNothing) {
  Folders folders("intoself");
  std::string old = folders.Make("A Rather Long Desktop Name");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("intoself");
  const std::string shortName = test::WithShortLastPart(old);
  ASSERT_FALSE(shortName.empty());
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + shortName + "\\sub /files /clear", &out), 1u) << out;

  const std::string link = folders.root + "\\into";
  if (!test::MakeDirectoryLink(link, old)) GTEST_SKIP() << "no directory links in this prefix";
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  ASSERT_TRUE(BrowseTo(run.process(), browser, link));
  // The link leads to the folder itself: already there, nothing copied.
  Dialog told = WaitForDialog(run.processId());
  EXPECT_TRUE(told.Shows(L"'桌面'已经位于'" + Wide(link) + L"'，无需移动，未作任何修改。")) << told.AllTexts();
  Answer(told, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "no confirmation";
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_EQ(Entries(old).size(), 2u) << "nothing was copied into the folder";
}

TEST(SafeMove, APlaceInsideAnotherFoldersDirectoryIsAWarningWithCancelFirst) {
  Folders folders("merge");
  std::string desk = folders.Make("desk"), docs = folders.Make("docs");
  std::string inside = docs + "\\inner";
  CreateDirectoryA(inside.c_str(), nullptr);
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", desk));
  ASSERT_TRUE(RegAdd(kShellFolders, "Personal", "REG_SZ", docs));
  KorvalinRun run("merge");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  ASSERT_TRUE(BrowseTo(run.process(), browser, inside));
  Dialog warning = WaitForDialog(run.processId());
  EXPECT_TRUE(warning.Shows(L"警告")) << warning.AllTexts();
  EXPECT_TRUE(warning.Shows(L"新目录'" + Wide(inside) + L"'与'我的文档'的目录'" + Wide(docs) +
                            L"'相同或相互包含。继续后两个文件夹将共用同一位置，以后无法再通过恢复将它们分开。\r\n"
                            L"确定仍要继续吗？"))
      << warning.AllTexts();
  // Enter takes the default: Cancel.
  LRESULT defaultButton = SendMessageA(warning.window, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(defaultButton), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defaultButton), IDCANCEL);
  Answer(warning, LOWORD(defaultButton));
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "no confirmation after the warning";
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, desk);
}

TEST(SafeMove, ACancelledCopyChangesNothing) {
  Folders folders("cancel");
  std::string old = folders.Make("old"), chosen = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  PutManyFiles(old);
  KorvalinRun run("cancel");
  HWND progress = StartLongMove(run, chosen);
  ASSERT_NE(progress, nullptr);
  PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
  Dialog cancelled = WaitForDialog(run.processId(), 60000);
  EXPECT_TRUE(cancelled.Shows(L"迁移已取消")) << cancelled.AllTexts();
  Answer(cancelled, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_EQ(Entries(old + "\\many").size(), static_cast<size_t>(kManyFiles));
  EXPECT_FALSE(run.Read("Move.data").size());
  EXPECT_EQ(run.Close(), 0u);
}

TEST(SafeMove, AMoveCutShortIsExplainedAtTheNextStart) {
  Folders folders("killed");
  std::string old = folders.Make("old"), chosen = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  PutManyFiles(old);
  {
    KorvalinRun run("killed");
    ASSERT_NE(StartLongMove(run, chosen), nullptr);
    TerminateProcess(run.process(), 9);
    run.WaitForExit();
    EXPECT_NE(run.Read("Move.data").find("stage=copying"), std::string::npos);
  }
  KorvalinRun again("killed", ProgramUnderTest(), true);
  ASSERT_TRUE(again.Start("", false));
  // Before the main window: what happened, where the files are, what the
  // registry says.
  Dialog explained = WaitForDialog(again.processId());
  EXPECT_TRUE(explained.Shows(L"上次迁移未完成")) << explained.AllTexts();
  EXPECT_TRUE(explained.Shows(L"上次迁移'桌面'时程序意外中断（正在复制文件）。\r\n文件夹仍使用原目录'" + Wide(old) +
                              L"'，原目录中的文件未被删除；新目录'" + Wide(chosen) +
                              L"'中可能有部分已复制的文件。\r\n注册表当前的值：" + Wide(old)))
      << explained.AllTexts();
  EXPECT_EQ(test::FindProcessWindow(again.processId(), "SysPath_Mirt_Main", nullptr), nullptr);
  Answer(explained, IDCLOSE);
  EXPECT_NE(test::WaitForProcessWindow(again.processId(), "SysPath_Mirt_Main", nullptr), nullptr);
  EXPECT_TRUE(again.Read("Move.data").empty());
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_EQ(again.Close(), 0u);
}

TEST(SafeMove, AMoveCutShortAfterTheSwitchOffersTheOldValueBack) {
  Folders folders("putback");
  std::string old = folders.Make("old"), chosen = folders.Make("new");
  PutUserFiles(chosen);
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", chosen));
  KorvalinRun run("putback");
  run.Put("Move.data", "title=桌面\r\nname=Desktop\r\nroot=3\r\npath=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                       "Explorer\\User Shell Folders\r\noldValue=%SystemDrive%\\kv-putback\\old\r\noldType=2\r\n"
                       "oldDirectory=" + old + "\r\nnewDirectory=" + chosen + "\r\nstage=switching\r\n");
  ASSERT_TRUE(run.Start("", false));
  Dialog explained = WaitForDialog(run.processId());
  EXPECT_TRUE(explained.Shows(L"上次迁移未完成")) << explained.AllTexts();
  Answer(explained, IDCLOSE);
  Dialog offer = WaitForDialog(run.processId());
  // The question says what it will write, and where.
  EXPECT_TRUE(offer.Shows(L"是否将注册表中的值改回迁移之前的设置？\r\n键：HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\"
                          L"CurrentVersion\\Explorer\\User Shell Folders\r\n值：Desktop\r\n将写入：%SystemDrive%\\"
                          L"kv-putback\\old（REG_EXPAND_SZ）"))
      << offer.AllTexts();
  Answer(offer, IDOK);
  Dialog done = WaitForDialog(run.processId());
  EXPECT_TRUE(done.Shows(L"已改回原来的设置，重新启动资源管理器或注销后生效。")) << done.AllTexts();
  Answer(done, IDCLOSE);
  RegValue value = RegQuery(kShellFolders, "Desktop");
  EXPECT_EQ(value.type, "REG_EXPAND_SZ");
  EXPECT_EQ(value.data, "%SystemDrive%\\kv-putback\\old");
  EXPECT_NE(test::WaitForProcessWindow(run.processId(), "SysPath_Mirt_Main", nullptr), nullptr);
  EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::e2e
