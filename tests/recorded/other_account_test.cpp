// A run by another account than the desktop's user, which Wine cannot make:
// the recorder's EqualSid says the shell's user and this process's differ.
// The command line refuses with a code of its own unless told to act for
// this account; the window warns before anything else.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>

#include "app/command/command_line.h"
#include "app/command/command_mode.h"
#include "app/main/entry.h"
#include "runtime/interface/startup.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/dialogs.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The Desktop where it already is: a move that would change nothing, so
// only the account check decides the code.
std::string DesktopNow() {
  char expanded[MAX_PATH] = {};
  ExpandEnvironmentStringsA(ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop").text.c_str(), expanded, MAX_PATH);
  return expanded;
}

// The check compares with the user of the desktop's shell process; under
// Wine that is explorer.exe, which Wine starts when a program first asks for
// the desktop window and ends a moment after the last one has left. Without
// it there is nothing to compare and no case here can pass.
bool DesktopShellRuns() {
  GetDesktopWindow();
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(100)) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) continue;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
      found = lstrcmpiA(entry.szExeFile, "explorer.exe") == 0;
    CloseHandle(snapshot);
    if (found) return true;
  }
  return false;
}

TEST(OtherAccount, TheCommandLineRefusesUnlessToldToActForThisAccount) {
  ASSERT_TRUE(DesktopShellRuns()) << "no explorer.exe ran within 10 s of asking for the desktop window";
  const std::string desktop = DesktopNow();
  ASSERT_FALSE(desktop.empty());
  const RegistryValue before = ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop");
  KorvalinRecorder()->sidsDiffer = 1;
  KorvalinRecorderClear();
  const int refused = RunCommand(ParseCommandLine({"/move", "Desktop", desktop, "/files"}), true);
  const size_t compared = RecorderLog().calls("EqualSid").size();
  const int allowed = RunCommand(ParseCommandLine({"/move", "Desktop", desktop, "/files", "/as-this-account"}), true);
  const int listed = RunCommand(ParseCommandLine({"/list"}), true);
  KorvalinRecorder()->sidsDiffer = 0;
  EXPECT_EQ(refused, kExitOtherAccount);
  EXPECT_EQ(compared, 1u) << "the users were compared";
  EXPECT_EQ(allowed, kExitDone) << "already there, for this account";
  EXPECT_EQ(listed, kExitDone) << "reading is no harm";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop").text, before.text);
  // The same users go on without the option.
  EXPECT_EQ(RunCommand(ParseCommandLine({"/move", "Desktop", desktop}), true), kExitDone);
}

KORVALIN_SCENARIO(recorded_other_account) {
  KorvalinRecorder()->sidsDiffer = 1;
  return rt::RunApplication(&RecordingProgramImage(), ProgramEntry);
}

TEST(OtherAccount, TheWindowWarnsFirstWithCancelAsItsDefault) {
  ASSERT_TRUE(DesktopShellRuns()) << "no explorer.exe ran within 10 s of asking for the desktop window";
  HANDLE child = StartProcess(IsolatedCopy(), "--child=recorded_other_account reset");
  ASSERT_NE(child, nullptr);
  Dialog warning = WaitForDialog(GetProcessId(child));
  EXPECT_TRUE(warning.Shows(L"警告")) << warning.AllTexts();
  EXPECT_NE(warning.AllTexts().find(L"它会移动这个账户的文件夹（注册表 HKEY_CURRENT_USER 属于它）"), std::wstring::npos)
      << warning.AllTexts();
  const LRESULT defaultButton = SendMessageA(warning.window, DM_GETDEFID, 0, 0);
  EXPECT_EQ(LOWORD(defaultButton), IDCANCEL);
  Answer(warning, IDCANCEL);
  EXPECT_EQ(FinishProcess(child, 20000), static_cast<DWORD>(kExitOtherAccount));
}

}  // namespace
}  // namespace korvalin::test
