// Korvalin as a deployment engine runs it: the same command every logon,
// the console companion waited for by cmd.exe, a whole layout checked
// before anything moves, and an inventory as JSON.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

constexpr char kDownloads[] = "{374DE290-123F-4565-9164-39C4925E467B}";

bool Says(const std::string& out, const std::string& text) { return out.find(text) != std::string::npos; }

// A JSON string of a Windows path, as a layout or /list /json spells it.
std::string Json(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string LayoutEntry(const std::string& name, const std::string& directory, bool files, bool clear = false) {
  return "{\"name\": \"" + Json(name) + "\", \"directory\": \"" + Json(directory) + "\", \"files\": " +
         (files ? "true" : "false") + ", \"clear\": " + (clear ? "true" : "false") + "}";
}

std::string Layout(std::initializer_list<std::string> entries) {
  std::string layout = "[";
  for (const std::string& entry : entries) layout.append(layout.size() > 1 ? ",\r\n" : "").append(entry);
  return layout.append("]");
}

struct ThreeFolders {
  explicit ThreeFolders(const std::string& name) : folders(name) {
    desk = folders.Make("desk");
    docs = folders.Make("docs");
    down = folders.Make("down");
    PutUserFiles(desk);
    WriteFileBytes(docs + "\\report.txt", "report");
    WriteFileBytes(down + "\\setup.exe", "MZ setup");
    ok = RegAdd(kShellFolders, "Desktop", "REG_SZ", desk) && RegAdd(kShellFolders, "Personal", "REG_SZ", docs) &&
         RegAdd(kShellFolders, kDownloads, "REG_SZ", down);
  }
  bool Unmoved() const {
    return RegQuery(kShellFolders, "Desktop").data == desk && RegQuery(kShellFolders, "Personal").data == docs &&
           RegQuery(kShellFolders, kDownloads).data == down && HoldsUserFiles(desk) &&
           ReadFileBytes(docs + "\\report.txt") == "report" && ReadFileBytes(down + "\\setup.exe") == "MZ setup";
  }
  Folders folders;
  std::string desk, docs, down;
  bool ok = false;
};

TEST(Deployment, TheSameMoveASecondTimeIsDoneAndChangesNothing) {
  Folders folders("again");
  const std::string old = folders.Make("old"), fresh = folders.root + "\\new";
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("again");
  std::string out;
  ASSERT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 0u) << out;
  ASSERT_TRUE(HoldsUserFiles(fresh));
  // Whatever the user did since stays as it is.
  WriteFileBytes(fresh + "\\a.txt", "alpha, edited since");
  for (const char* options : {" /files /clear", " /files", ""}) {
    SCOPED_TRACE(options);
    EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + options, &out), 0u) << out;
    EXPECT_TRUE(Says(out, "Desktop already there: " + fresh)) << out;
    EXPECT_FALSE(Says(out, "copied")) << out;
  }
  EXPECT_EQ(ReadFileBytes(fresh + "\\a.txt"), "alpha, edited since");
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
  EXPECT_TRUE(Entries(old).empty());
}

TEST(Deployment, TheConsoleCompanionIsWaitedForAndHandsBackItsCode) {
  Folders folders("console");
  const std::string old = folders.Make("old"), fresh = folders.root + "\\new";
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("console");
  const std::string cmd = run.directory() + "\\KorvalinCmd.exe";
  ASSERT_TRUE(CopyFileA(WindowsPath(KORVALIN_CMD_EXE).c_str(), cmd.c_str(), FALSE));
  // cmd.exe runs it as a console program, waits, and sees its output and code.
  std::string out;
  EXPECT_EQ(RunCaptured("cmd.exe /c \"\"" + cmd + "\" /move Desktop " + fresh + " /files & exit /b %ERRORLEVEL%\"",
                        &out),
            0u)
      << out;
  EXPECT_TRUE(Says(out, "Desktop -> " + fresh)) << out;
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
  EXPECT_EQ(RunCaptured("cmd.exe /c \"\"" + cmd + "\" /move NoSuchFolder " + fresh + " & exit /b %ERRORLEVEL%\"",
                        &out),
            2u)
      << out;
  EXPECT_TRUE(Says(out, "no rule names the folder NoSuchFolder")) << out;
  // Without a command it says what it takes.
  EXPECT_EQ(RunCaptured("\"" + cmd + "\"", &out), 2u) << out;
  EXPECT_TRUE(Says(out, "KorvalinCmd.exe runs the commands below")) << out;
}

TEST(Deployment, ALayoutWithOneBadEntryMovesNothing) {
  ThreeFolders three("layout-bad");
  ASSERT_TRUE(three.ok);
  const std::string& root = three.folders.root;
  KorvalinRun run("layout-bad");
  struct Bad {
    const char* what;
    std::string third;
    DWORD code;
  } bads[] = {
      {"a name no rule has", LayoutEntry("NoSuchFolder", root + "\\to\\x", true), 2},
      {"a directory Windows cannot hold", LayoutEntry(kDownloads, root + "\\to\\a|b", true), 1},
      {"a variable that is not set", LayoutEntry(kDownloads, root + "\\%KORVALIN_NO_SUCH%\\down", true), 1},
      {"two folders in one place", LayoutEntry(kDownloads, root + "\\to\\desk", true), 1},
  };
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.what);
    run.Put("layout.json", Layout({LayoutEntry("Desktop", root + "\\to\\desk", true, true),
                                   LayoutEntry("Personal", root + "\\to\\docs", true), bad.third}));
    std::string out;
    EXPECT_EQ(run.RunCommand("/apply " + run.directory() + "\\layout.json", &out), bad.code) << out;
    EXPECT_TRUE(Says(out, "entry 3 (")) << out;
    EXPECT_TRUE(Says(out, "the layout was not applied: nothing was moved")) << out;
    EXPECT_TRUE(three.Unmoved());
    EXPECT_FALSE(IsDirectory(root + "\\to\\desk"));
  }
  // A scheduled run's only record is its log: it holds the refusal.
  const std::string log = run.directory() + "\\apply.log";
  std::string out;
  EXPECT_EQ(run.RunCommand("/apply " + run.directory() + "\\layout.json /log " + log, &out), 1u) << out;
  EXPECT_TRUE(Says(ReadFileBytes(log), "the layout was not applied: nothing was moved")) << ReadFileBytes(log);
  // A good layout with its log where a folder goes moves nothing either.
  run.Put("layout.json", Layout({LayoutEntry("Desktop", root + "\\to\\desk", true)}));
  EXPECT_EQ(run.RunCommand("/apply " + run.directory() + "\\layout.json /log " + root + "\\to\\desk\\a.log", &out),
            2u)
      << out;
  EXPECT_TRUE(three.Unmoved());
  EXPECT_FALSE(IsDirectory(root + "\\to\\desk"));
}

TEST(Deployment, ALayoutOfThreeFoldersMovesEachWithItsFilesAndAgainIsDone) {
  ThreeFolders three("layout");
  ASSERT_TRUE(three.ok);
  char user[64] = {};
  ASSERT_GT(GetEnvironmentVariableA("USERNAME", user, sizeof user), 0u);
  const std::string base = three.folders.root + "\\Users\\%USERNAME%";
  const std::string expanded = three.folders.root + "\\Users\\" + user;
  KorvalinRun run("layout");
  run.Put("layout.json", Layout({LayoutEntry("Desktop", base + "\\Desktop", true, true),
                                 LayoutEntry("personal", base + "\\Documents", true),
                                 LayoutEntry(kDownloads, base + "\\Downloads", true)}));
  std::string out;
  EXPECT_EQ(run.RunCommand("/apply " + run.directory() + "\\layout.json", &out), 0u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, expanded + "\\Desktop");
  EXPECT_EQ(RegQuery(kShellFolders, "Personal").data, expanded + "\\Documents");
  EXPECT_EQ(RegQuery(kShellFolders, kDownloads).data, expanded + "\\Downloads");
  EXPECT_TRUE(HoldsUserFiles(expanded + "\\Desktop"));
  EXPECT_EQ(ReadFileBytes(expanded + "\\Documents\\report.txt"), "report");
  EXPECT_EQ(ReadFileBytes(expanded + "\\Downloads\\setup.exe"), "MZ setup");
  EXPECT_TRUE(Entries(three.desk).empty()) << "cleared, as its entry asked";
  EXPECT_EQ(ReadFileBytes(three.docs + "\\report.txt"), "report") << "kept, as its entry asked";
  for (int entry = 1; entry <= 3; ++entry)
    EXPECT_TRUE(Says(out, "entry " + std::to_string(entry) + " (")) << out;
  // The next logon runs the same layout: nothing to do.
  EXPECT_EQ(run.RunCommand("/apply " + run.directory() + "\\layout.json", &out), 0u) << out;
  EXPECT_TRUE(Says(out, ": already there (0)")) << out;
  EXPECT_FALSE(Says(out, "copied")) << out;
}

TEST(Deployment, ListAsJsonIsTheRegistryAsItStands) {
  Folders folders("inventory");
  const std::string desk = folders.Make("desk");
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", desk));
  ASSERT_TRUE(RegAdd(kShellFolders, "Personal", "REG_EXPAND_SZ", "%SystemDrive%\\kv-inventory"));
  KorvalinRun run("inventory");
  std::string out;
  // The built-in rules' titles come out as UTF-8, whatever the code page.
  ASSERT_EQ(run.RunCommand("/list /json", &out), 0u) << out;
  EXPECT_TRUE(Says(out, "{\"title\": \"\xE6\xA1\x8C\xE9\x9D\xA2\", \"name\": \"Desktop\", \"type\": \"REG_SZ\"")) << out;
  run.Put("rules.json",
          "{\"regPath\": [{\"title\": \"Desk\", \"name\": \"Desktop\", \"root\": 3, \"path\": \"SOFTWARE\\\\Microsoft"
          "\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders\"}, {\"title\": \"Docs\", \"name\": "
          "\"Personal\", \"root\": 3, \"path\": \"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\"
          "User Shell Folders\"}, {\"title\": \"Gone\", \"name\": \"KorvalinNoSuchValue\", \"root\": 3, \"path\": "
          "\"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders\"}]}");
  ASSERT_EQ(run.RunCommand("/list /json", &out), 0u) << out;
  EXPECT_EQ(out.rfind("[\r\n", 0), 0u) << out;
  EXPECT_NE(out.find("\r\n]\r\n"), std::string::npos) << out;
  EXPECT_TRUE(Says(out, "{\"title\": \"Desk\", \"name\": \"Desktop\", \"type\": \"REG_SZ\", \"value\": \"" + Json(desk) +
                            "\", \"directory\": \"" + Json(desk) + "\", \"valid\": true},\r\n"))
      << out;
  EXPECT_TRUE(Says(out, "{\"title\": \"Docs\", \"name\": \"Personal\", \"type\": \"REG_EXPAND_SZ\", \"value\": "
                        "\"%SystemDrive%\\\\kv-inventory\", \"directory\": \"C:\\\\kv-inventory\", \"valid\": true},"))
      << out;
  EXPECT_TRUE(Says(out, "{\"title\": \"Gone\", \"name\": \"KorvalinNoSuchValue\", \"type\": null, \"value\": null, "
                        "\"directory\": null, \"valid\": false, \"reason\": \"the value is missing, empty or not a "
                        "text\"}\r\n]"))
      << out;
}

}  // namespace
}  // namespace korvalin::e2e
