// States in which a move used to lose a file that existed before it, or to
// write a value no rule names, each tried from outside as a user would:
// Korvalin.exe as its own process, the registry and the files' contents
// checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/links.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

constexpr char kBackup[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Backup";

bool Says(const std::string& out, const std::wstring& text) { return out.find(Utf8(text)) != std::string::npos; }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

bool NoWaitingCopies(const std::string& directory) {
  for (const std::string& entry : Entries(directory))
    if (entry.find("~korvalin") != std::string::npos) return false;
  return true;
}

// Clicks the Desktop's row and picks the directory; returns what comes next.
Dialog PickForDesktop(KorvalinRun& run, const std::string& directory) {
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  EXPECT_TRUE(browser.browser) << browser.AllTexts();
  EXPECT_TRUE(BrowseTo(run.process(), browser, directory));
  return WaitForDialog(run.processId());
}

std::string Journal(const std::string& path, const std::string& name, const std::string& oldValue,
                    const std::string& oldType, const std::string& oldDirectory, const std::string& newDirectory,
                    const std::string& stage) {
  return "title=桌面\r\nname=" + name + "\r\nroot=3\r\npath=" + path + "\r\noldValue=" + oldValue +
         "\r\noldType=" + oldType + "\r\noldDirectory=" + oldDirectory + "\r\nnewDirectory=" + newDirectory +
         "\r\nstage=" + stage + "\r\n";
}

constexpr char kFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

TEST(NoFileLost, ANewDirectoryHoldingTheCurrentOneTakesNoFiles) {
  Folders folders("holds");
  const std::string docs = folders.Make("Docs");
  const std::string documents = folders.Make("Docs\\Documents");
  CreateDirectoryA((documents + "\\Documents").c_str(), nullptr);
  // A nested copy of itself whose z.txt has the size of the folder's own.
  WriteFileBytes(documents + "\\z.txt", "own z");
  WriteFileBytes(documents + "\\Documents\\z.txt", "nestz");
  ASSERT_TRUE(RegAdd(kShellFolders, "Personal", "REG_SZ", documents));
  KorvalinRun run("holds");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Personal " + docs + " /files /clear", &out), 1u) << out;
  EXPECT_TRUE(Says(out, L"'，文件复制到那里会写进当前目录自身，无法同时迁移文件。")) << out;
  EXPECT_EQ(ReadFileBytes(documents + "\\z.txt"), "own z");
  EXPECT_EQ(ReadFileBytes(documents + "\\Documents\\z.txt"), "nestz");
  EXPECT_EQ(RegQuery(kShellFolders, "Personal").data, documents);
  // Without the files nothing is written there: the folder may go.
  EXPECT_EQ(run.RunCommand("/move Personal " + docs, &out), 0u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Personal").data, docs);
  EXPECT_EQ(ReadFileBytes(documents + "\\z.txt"), "own z");
  EXPECT_EQ(ReadFileBytes(documents + "\\Documents\\z.txt"), "nestz");
}

TEST(NoFileLost, EveryWayIntoAFolderInsideTheCurrentOneIsRefused) {
  Folders folders("intosub");
  const std::string old = folders.Make("LOld");
  ASSERT_TRUE(MakeUserDesktop(old));
  const std::string inner = old + "\\sub";
  const std::string link = folders.root + "\\LLink";
  const bool linked = test::MakeDirectoryLink(link, inner);
  test::OwnDrive drive(inner);
  if (!linked && !drive.ok()) GTEST_SKIP() << "neither links nor drive letters here";
  KorvalinRun run("intosub");
  std::string out;
  if (linked) {
    EXPECT_EQ(run.RunCommand("/move Desktop " + link + " /files /clear", &out), 1u) << out;
  }
  if (drive.ok()) {
    EXPECT_EQ(run.RunCommand("/move Desktop " + drive.root() + "\\x /files /clear", &out), 1u) << out;
  }
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_FALSE(IsDirectory(inner + "\\sub")) << "nothing was copied into the folder";
  EXPECT_TRUE(ReadFileBytes(inner + "\\a.txt").empty()) << "nothing was copied into the folder";
  if (!linked) return;
  // The window refuses before its confirmation.
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  Dialog refusal = PickForDesktop(run, link);
  EXPECT_TRUE(refusal.Shows(L"新目录不能是当前目录，也不能位于当前目录之内！")) << refusal.AllTexts();
  Answer(refusal, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "no confirmation";
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
}

TEST(NoFileLost, AFileAtTheNewPlaceIsReplacedOnlyWhenAllowedAndOnlyByAWholeCopy) {
  Folders folders("replace");
  const std::string old = folders.Make("EOld"), fresh = folders.Make("ENew"), home = folders.Make("EHome");
  ASSERT_TRUE(MakeUserDesktop(old));
  WriteFileBytes(fresh + "\\a.txt", "the user's own text");
  KorvalinRun run("replace");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files", &out), 1u) << out;
  EXPECT_TRUE(Says(out, L"中已有 1 个与原目录中同名的文件（例如'a.txt'）")) << out;
  EXPECT_NE(out.find(" -> no (without /replace)"), std::string::npos) << out;
  EXPECT_EQ(ReadFileBytes(fresh + "\\a.txt"), "the user's own text");

  // A copy that fails leaves the file of the same name as it was.
  HANDLE held = CreateFileA((old + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /replace /clear", &out), 3u) << out;
  CloseHandle(held);
  EXPECT_TRUE(Says(out, L"新目录中原有的同名文件均未改动。")) << out;
  EXPECT_EQ(ReadFileBytes(fresh + "\\a.txt"), "the user's own text");
  EXPECT_TRUE(NoWaitingCopies(fresh));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));

  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /replace", &out), 0u) << out;
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_TRUE(NoWaitingCopies(fresh));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);

  // A restore asks the same of its default's place.
  WriteFileBytes(home + "\\a.txt", "home's own");
  ASSERT_TRUE(RegAdd(kBackup, "Desktop", "REG_SZ", home));
  EXPECT_EQ(run.RunCommand("/restore Desktop /files", &out), 1u) << out;
  EXPECT_EQ(ReadFileBytes(home + "\\a.txt"), "home's own");
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);

  // The window warns, naming how many and one of them, Cancel first.
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", old));
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  WriteFileBytes(home + "\\a.txt", "home's own");
  Dialog warning = PickForDesktop(run, home);
  EXPECT_TRUE(warning.Shows(L"警告")) << warning.AllTexts();
  EXPECT_TRUE(warning.Shows(L"新目录'" + Wide(home) +
                            L"'中已有 1 个与原目录中同名的文件（例如'a.txt'），继续将用原目录中的文件替换它们。\r\n"
                            L"确定要替换吗？"))
      << warning.AllTexts();
  LRESULT defaultButton = SendMessageA(warning.window, DM_GETDEFID, 0, 0);
  EXPECT_EQ(LOWORD(defaultButton), IDCANCEL);
  Answer(warning, IDCANCEL);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "no confirmation after the warning";
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(ReadFileBytes(home + "\\a.txt"), "home's own");
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
}

TEST(NoFileLost, AMoveCutShortWhileClearingKeepsTheFolderWhereAllItsFilesAre) {
  Folders folders("clearcut");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  PutUserFiles(fresh);
  WriteFileBytes(old + "\\a.txt", "alpha");  // what the clear had not reached
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", fresh));
  KorvalinRun run("clearcut");
  run.Put("Move.data", Journal(kFoldersKey, "Desktop", old, "1", old, fresh, "clearing"));
  ASSERT_TRUE(run.Start("", false));
  Dialog explained = WaitForDialog(run.processId());
  EXPECT_TRUE(explained.Shows(L"上次迁移'桌面'时程序意外中断（正在清空原目录）。\r\n文件已全部复制到新目录'" +
                              Wide(fresh) + L"'并已校验，注册表现在指向新目录；清空原目录'" + Wide(old) +
                              L"'时程序中断，原目录中可能还留有部分文件。\r\n注册表当前的值：" + Wide(fresh)))
      << explained.AllTexts();
  Answer(explained, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "the half-emptied place is not offered";
  EXPECT_NE(test::WaitForProcessWindow(run.processId(), "SysPath_Mirt_Main", nullptr), nullptr);
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_TRUE(run.Read("Move.data").empty());
}

TEST(NoFileLost, AJournalIsActedOnOnlyForARuleAndAUsableOldValue) {
  Folders folders("forged");
  const std::string fresh = folders.Make("new"), old = folders.Make("old");
  const std::string other = "HKCU\\Software\\KorvalinE2E\\Forged";
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", fresh));
  ASSERT_TRUE(RegAdd(other, "Desktop", "REG_SZ", fresh));
  struct Forgery {
    const char* what;
    std::string journal;
  } forgeries[] = {
      {"another program's value", Journal("Software\\KorvalinE2E\\Forged", "Desktop", old, "1", old, fresh, "switching")},
      {"a relative path", Journal(kFoldersKey, "Desktop", "kv-forged\\old", "1", old, fresh, "switching")},
      {"a wildcard", Journal(kFoldersKey, "Desktop", "C:\\kv-forged\\*", "1", old, fresh, "switching")},
      {"a number", Journal(kFoldersKey, "Desktop", old, "4", old, fresh, "switching")},
  };
  for (const Forgery& forgery : forgeries) {
    SCOPED_TRACE(forgery.what);
    KorvalinRun run("forged");
    run.Put("Move.data", forgery.journal);
    ASSERT_TRUE(run.Start("", false));
    Dialog explained = WaitForDialog(run.processId());
    EXPECT_TRUE(explained.Shows(L"上次迁移未完成")) << explained.AllTexts();
    Answer(explained, IDCLOSE);
    EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr) << "nothing is offered";
    EXPECT_NE(test::WaitForProcessWindow(run.processId(), "SysPath_Mirt_Main", nullptr), nullptr);
    EXPECT_EQ(run.Close(), 0u);
    EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
    EXPECT_EQ(RegQuery(kShellFolders, "Desktop").type, "REG_SZ");
    EXPECT_EQ(RegQuery(other, "Desktop").data, fresh);
  }
  RegDeleteKey(other);
}

TEST(NoFileLost, TheClearDeletesNothingALinkLeadsTo) {
  Folders folders("flink");
  const std::string old = folders.Make("old"), outside = folders.Make("Outside");
  const std::string fresh = folders.root + "\\new";
  WriteFileBytes(outside + "\\imp.txt", "important");
  ASSERT_TRUE(MakeUserDesktop(old));
  if (!test::MakeFileLink(old + "\\imp.txt", outside + "\\imp.txt")) GTEST_SKIP() << "no file links here";
  KorvalinRun run("flink");
  std::string out;
  // Moved, but the clear kept the link: a code of its own.
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 6u) << out;
  EXPECT_EQ(ReadFileBytes(outside + "\\imp.txt"), "important");
  EXPECT_EQ(ReadFileBytes(fresh + "\\imp.txt"), "important");
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_FALSE(IsDirectory(old + "\\sub"));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
}

TEST(NoFileLost, ALogNeverLiesInTheMoveAndNeverEmptiesAFile) {
  Folders folders("log");
  const std::string old = folders.Make("old"), logs = folders.Make("logs"), other = folders.Make("other");
  const std::string fresh = folders.root + "\\new";
  ASSERT_TRUE(MakeUserDesktop(old));
  WriteFileBytes(old + "\\log.txt", "the user's own log");
  KorvalinRun run("log");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear /log " + old + "\\log.txt", &out), 2u) << out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + other + " /files /log " + other + "\\move.log", &out), 2u) << out;
  EXPECT_EQ(ReadFileBytes(old + "\\log.txt"), "the user's own log");
  EXPECT_FALSE(IsDirectory(fresh));
  EXPECT_TRUE(Entries(other).empty());
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);

  WriteFileBytes(logs + "\\move.log", "an earlier line\r\n");
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /log " + logs + "\\move.log", &out), 0u) << out;
  const std::string logged = ReadFileBytes(logs + "\\move.log");
  EXPECT_EQ(logged.rfind("an earlier line\r\n", 0), 0u) << logged;
  EXPECT_NE(logged.find("Desktop -> " + fresh + "\r\n"), std::string::npos) << logged;
  EXPECT_TRUE(HoldsUserFiles(fresh));
}

TEST(NoFileLost, DestinationsWindowsCannotHoldAreRefusedBeforeAnything) {
  Folders folders("baddest");
  const std::string old = folders.Make("old");
  ASSERT_TRUE(MakeUserDesktop(old));
  const std::string file = folders.root + "\\file.txt";
  WriteFileBytes(file, "a file");
  char missing = 0;
  for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter)
    if (GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) == DRIVE_NO_ROOT_DIR) missing = letter;
  ASSERT_NE(missing, 0);
  const std::string& root = folders.root;
  const std::vector<std::string> refused = {
      Quoted(root + "\\HNew "), root + "\\HNew.", "C:\\NUL", root + "\\HNew\\CON", root + "\\com1.txt",
      root + "\\a<b", root + "\\a>b", Quoted(root + "\\a|b"), root + "\\a?b", root + "\\a*b",
      file, file + "\\inside", std::string(1, missing) + ":\\New"};
  KorvalinRun run("baddest");
  for (const std::string& destination : refused) {
    for (const char* files : {" /files", ""}) {
      SCOPED_TRACE(destination + files);
      std::string out;
      EXPECT_EQ(run.RunCommand("/move Desktop " + destination + files, &out), 1u) << out;
      EXPECT_FALSE(Says(out, L"已复制的部分文件")) << out;
      if (destination.find('?') != std::string::npos) {
        EXPECT_TRUE(Says(out, L"Windows 不允许的字符")) << out;
      }
    }
  }
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_EQ(Entries(root).size(), 2u) << "nothing was made";
  EXPECT_EQ(ReadFileBytes(file), "a file");

  // Without the files, a directory that is not there yet is made before
  // the value names it.
  const std::string deep = root + "\\made\\deeper";
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + deep, &out), 0u) << out;
  EXPECT_TRUE(IsDirectory(deep));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, deep);
}

TEST(NoFileLost, AFileRewrittenWhileTheClearIsAskedIsKept) {
  Folders folders("rewrite");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("rewrite");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  Dialog confirm = PickForDesktop(run, fresh);
  Answer(confirm, IDOK);
  Dialog clear = WaitForDialog(run.processId(), 60000);
  ASSERT_TRUE(clear.Shows(L"文件已迁移完成，是否将原目录文件清空？")) << clear.AllTexts();
  // A tool that restores times writes a.txt anew: the same size, the same
  // time of last write.
  Sleep(1100);
  WIN32_FILE_ATTRIBUTE_DATA before = {};
  GetFileAttributesExA((old + "\\a.txt").c_str(), GetFileExInfoStandard, &before);
  WriteFileBytes(old + "\\a.txt", "ALPHA");
  HANDLE file = CreateFileA((old + "\\a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, nullptr, nullptr, &before.ftLastWriteTime);
  CloseHandle(file);
  Answer(clear, IDOK);
  Dialog kept = WaitForDialog(run.processId());
  EXPECT_TRUE(kept.Shows(L"原目录中有 1 项没有删除，仍保留在原目录中：它们在复制之后才出现或被改动过，或是链接，或无法删除。"))
      << kept.AllTexts();
  Answer(kept, IDCLOSE);
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(ReadFileBytes(old + "\\a.txt"), "ALPHA");
  EXPECT_EQ(ReadFileBytes(fresh + "\\a.txt"), "alpha");
  EXPECT_FALSE(IsDirectory(old + "\\sub"));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
}

TEST(NoFileLost, AMoveWithFilesNeedsItsJournal) {
  Folders folders("nojournal");
  const std::string old = folders.Make("old");
  const std::string fresh = folders.root + "\\new";
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("nojournal");
  std::string out;
  // A directory where the journal or its next stage goes: no right would
  // help, so it is a refusal (1), not a want of rights (8).
  for (const char* name : {"\\Move.data.new", "\\Move.data"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(CreateDirectoryA((run.directory() + name).c_str(), nullptr));
    EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 1u) << out;
    EXPECT_TRUE(Says(out, L"无法在程序目录中写入迁移记录 Move.data")) << out;
    EXPECT_FALSE(IsDirectory(fresh)) << "nothing was copied";
    EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
    EXPECT_TRUE(HoldsUserFiles(old));
    if (std::string(name) == "\\Move.data.new") RemoveDirectoryA((run.directory() + name).c_str());
  }
  // A move without the files needs none.
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh, &out), 0u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
}

}  // namespace
}  // namespace korvalin::e2e
