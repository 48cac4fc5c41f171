// Korvalin.exe run as a command, as a script or a deployment tool runs it:
// no window, output on the redirected handle or in a log, an exit code.
#include <gtest/gtest.h>

#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

constexpr char kBackup[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Backup";
constexpr char kScriptShellFolders[] = "SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// A rules.json of two rules: the Desktop and a value the registry lacks.
std::string TwoRules() {
  auto rule = [](const char* title, const char* name) {
    return std::string("{\"title\": \"") + title + "\", \"name\": \"" + name + "\", \"root\": 3, \"path\": \"" +
           kScriptShellFolders + "\"}";
  };
  return Utf8(L"{\"regPath\": [") + rule("Desk", "Desktop") + ", " + rule("Gone", "KorvalinNoSuchValue") + "]}";
}

TEST(CommandLine, ListPrintsEachRuleWithItsDirectoryAndValidity) {
  Folders folders("cli-list");
  std::string desk = folders.Make("desk");
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", desk));
  KorvalinRun run("cli-list");
  run.Put("rules.json", TwoRules());
  std::string out;
  EXPECT_EQ(run.RunCommand("/list", &out), 0u);
  EXPECT_NE(out.find("Desk\tDesktop\t" + desk + "\tvalid\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Gone\tKorvalinNoSuchValue\t\tinvalid\r\n"), std::string::npos) << out;

  // Without rules.json: the three built-in rules, titles in UTF-8.
  KorvalinRun builtIn("cli-list-builtin");
  EXPECT_EQ(builtIn.RunCommand("-LIST", &out), 0u);
  EXPECT_NE(out.find(Utf8(L"桌面\tDesktop\t")), std::string::npos) << out;
  EXPECT_NE(out.find(Utf8(L"下载\t{374DE290-123F-4565-9164-39C4925E467B}\t")), std::string::npos) << out;
}

TEST(CommandLine, MoveCopiesVerifiesAndClearsOnlyWhenAsked) {
  Folders folders("cli-move");
  std::string old = folders.Make("old"), kept = folders.Make("kept"), cleared = folders.Make("cleared");
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("cli-move");
  std::string out;

  // Files copied, the old place left as it was without /clear.
  EXPECT_EQ(run.RunCommand("/move desktop " + Quoted(kept) + " /files", &out), 0u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, kept);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").type, "REG_SZ");
  EXPECT_TRUE(HoldsUserFiles(kept));
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_NE(out.find(Utf8(L"文件已迁移完成，是否将原目录文件清空？ -> no (without /clear)")), std::string::npos) << out;

  // With /clear the verified copy's source is emptied; the log has it all.
  std::string log = run.directory() + "\\move.log";
  EXPECT_EQ(run.RunCommand("/move Desktop " + Quoted(cleared) + " /FILES /clear /log " + Quoted(log), &out), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, cleared);
  EXPECT_TRUE(HoldsUserFiles(cleared));
  EXPECT_TRUE(Entries(kept).empty());
  EXPECT_TRUE(IsDirectory(kept));
  std::string logged = ReadFileBytes(log);
  EXPECT_NE(logged.find("Desktop -> " + cleared + "\r\n"), std::string::npos) << logged;
  EXPECT_NE(logged.find(Utf8(L"将'桌面'路径移动到'") + cleared + Utf8(L"'，请确认？ -> yes")), std::string::npos)
      << logged;
  EXPECT_EQ(logged, out) << "the log holds what the console got";
}

TEST(CommandLine, EveryRefusalIsExitCodeOneAndChangesNothing) {
  Folders folders("cli-refuse");
  std::string desk = folders.Make("desk");
  PutUserFiles(desk);
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", desk));
  KorvalinRun run("cli-refuse");
  run.Put("rules.json", TwoRules());
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop C:\\ /files /clear", &out), 1u);
  EXPECT_NE(out.find(Utf8(L"无法将目录选择为磁盘根目录！")), std::string::npos) << out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + Quoted(desk + "\\sub") + " /files /clear", &out), 1u);
  EXPECT_NE(out.find(Utf8(L"新目录不能是当前目录，也不能位于当前目录之内！")), std::string::npos) << out;
  EXPECT_EQ(run.RunCommand("/move KorvalinNoSuchValue " + Quoted(folders.Make("x")), &out), 1u);
  EXPECT_NE(out.find(Utf8(L"该条设置规则无效！无法修改...")), std::string::npos) << out;
  // No default under HKLM: nothing to restore to.
  EXPECT_EQ(run.RunCommand("/restore KorvalinNoSuchValue", &out), 1u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, desk);
  EXPECT_TRUE(HoldsUserFiles(desk));
}

TEST(CommandLine, BadArgumentsPrintTheUsageAndExitTwo) {
  KorvalinRun run("cli-usage");
  for (const char* arguments : {"/move Desktop", "/frobnicate", "res et rese -rese7", "/list /files",
                                "/move Desktop C:\\x /bogus", "/restore"}) {
    SCOPED_TRACE(arguments);
    std::string out;
    EXPECT_EQ(run.RunCommand(arguments, &out), 2u);
    EXPECT_NE(out.find("Korvalin.exe /move NAME DIR"), std::string::npos) << out;
  }
  std::string out;
  EXPECT_EQ(run.RunCommand("/move NoSuchFolder C:\\x", &out), 2u);
  EXPECT_NE(out.find("no rule names the folder NoSuchFolder"), std::string::npos) << out;
  EXPECT_EQ(run.RunCommand("/list /log C:\\no-such-directory\\x.log", &out), 2u);
}

TEST(CommandLine, RestorePointsTheFolderBackAtTheDefaultFromHklm) {
  Folders folders("cli-restore");
  std::string moved = folders.Make("moved");
  std::string home = folders.Make("home");
  PutUserFiles(moved);
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", moved));
  ASSERT_TRUE(RegAdd(kBackup, "Desktop", "REG_EXPAND_SZ", "%SystemDrive%\\kv-cli-restore\\home"));
  KorvalinRun run("cli-restore");
  std::string out;
  EXPECT_EQ(run.RunCommand("/restore Desktop /files", &out), 0u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, home);
  EXPECT_TRUE(HoldsUserFiles(home));
  EXPECT_TRUE(HoldsUserFiles(moved));
  // Already there: nothing to do, which is no failure.
  EXPECT_EQ(run.RunCommand("/restore Desktop", &out), 0u);
  EXPECT_NE(out.find(Utf8(L"当前设置路径为默认路径，无需恢复！")), std::string::npos) << out;
}

}  // namespace
}  // namespace korvalin::e2e
