// Inputs from outside that Korvalin must not trust: directory names code
// page 936 cannot hold, relative defaults, a rules.json that never ends or
// is far too large. Each is refused or passed over with a message, and
// nothing is written, copied or lost.
#include <gtest/gtest.h>

#include "tests/e2e/dialogs.h"
#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

constexpr wchar_t kShellFoldersKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kBackup[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Backup";
const std::wstring kKorean = L"새폴더";  // three characters code page 936 lacks

bool SetDesktopWide(const std::wstring& directory) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExW(key, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                               static_cast<DWORD>((directory.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

std::wstring DesktopWide() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return L"";
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  LONG status = RegQueryValueExW(key, L"Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? data : L"";
}

// A directory of that name holding one file, made through the wide API.
std::wstring MakeKoreanDirectory(const std::string& parent) {
  std::wstring path = Wide(parent) + L"\\" + kKorean;
  CreateDirectoryW(path.c_str(), nullptr);
  HANDLE file = CreateFileW((path + L"\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "keep", 4, &written, nullptr);
  CloseHandle(file);
  return path;
}

bool HoldsKeepFile(const std::wstring& directory) {
  return GetFileAttributesW((directory + L"\\keep.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Clicks row 1's button and expects one refusal with this text, and then
// no other dialog.
void ExpectRefusal(KorvalinRun& run, const std::wstring& text) {
  run.ClickRowButton(1);
  Dialog refusal = WaitForDialog(run.processId());
  EXPECT_FALSE(refusal.browser);
  EXPECT_TRUE(refusal.Shows(text)) << refusal.AllTexts();
  Answer(refusal, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr);
}

TEST(OutsideInput, ADesktopNamedOutsideTheCodePageIsRefusedAndLookalikesSurvive) {
  Folders folders("kr");
  std::wstring desk = MakeKoreanDirectory(folders.root);
  // What "C:\kv-kr\???" would match as a wildcard.
  std::string abc = folders.Make("abc"), xyz = folders.Make("xyz");
  PutUserFiles(abc);
  PutUserFiles(xyz);
  ASSERT_TRUE(SetDesktopWide(desk));
  std::string destination = folders.Make("dest");

  KorvalinRun run("kr");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + destination + " /files /clear", &out), 1u) << out;
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  ExpectRefusal(run, L"该目录的路径或注册表名称含有当前系统无法表示的字符，无法安全处理，未作任何修改！");
  EXPECT_EQ(run.Close(), 0u);

  EXPECT_EQ(DesktopWide(), desk);
  EXPECT_TRUE(HoldsKeepFile(desk));
  EXPECT_TRUE(HoldsUserFiles(abc));
  EXPECT_TRUE(HoldsUserFiles(xyz));
  EXPECT_TRUE(Entries(destination).empty());
}

TEST(OutsideInput, ADestinationNamedOutsideTheCodePageIsRefusedBeforeTheQuestion) {
  Folders folders("kr-to");
  std::string old = folders.Make("old");
  ASSERT_TRUE(MakeUserDesktop(old));
  std::wstring target = MakeKoreanDirectory(folders.root);

  KorvalinRun run("kr-to");
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  run.ClickRowButton(1);
  Dialog browser = WaitForDialog(run.processId());
  ASSERT_TRUE(browser.browser) << browser.AllTexts();
  // The browser's tree shows the name as the code page has it.
  ASSERT_TRUE(BrowseTo(run.process(), browser, folders.root + "\\???"));
  Dialog refusal = WaitForDialog(run.processId());
  EXPECT_TRUE(refusal.Shows(L"所选目录的路径含有 Windows 不允许的字符（< > | \" * ? : 或控制字符；'?' "
                            L"也可能代表当前系统无法表示的字符），无法使用，未作任何修改！"))
      << refusal.AllTexts();
  Answer(refusal, IDCLOSE);
  EXPECT_EQ(WaitForDialog(run.processId(), 1500).window, nullptr);
  EXPECT_EQ(run.Close(), 0u);

  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + folders.root + "\\a?c /files /clear", &out), 1u) << out;
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_TRUE(HoldsKeepFile(target));
}

TEST(OutsideInput, ARelativeDefaultIsRefusedInRecoveryMode) {
  Folders folders("reldefault");
  std::string old = folders.Make("old");
  ASSERT_TRUE(MakeUserDesktop(old));
  ASSERT_TRUE(RegAdd(kBackup, "Desktop", "REG_SZ", "RelDesk"));
  KorvalinRun run("reldefault");
  ASSERT_TRUE(run.Start("/reset"));
  ASSERT_TRUE(run.WaitForRows(4));
  Dialog question = WaitForDialog(run.processId());
  Answer(question, IDOK);
  ExpectRefusal(run, L"默认目录不是完整路径，无法恢复，未作任何修改！");
  EXPECT_EQ(run.Close(), 0u);
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
  EXPECT_TRUE(HoldsUserFiles(old));
  EXPECT_FALSE(IsDirectory(run.directory() + "\\RelDesk"));
  // A sane default again for whatever runs next in this prefix.
  RegAdd(kBackup, "Desktop", "REG_EXPAND_SZ", "%USERPROFILE%\\Desktop");
}

std::vector<std::wstring> Titles(const KorvalinRun& run) {
  std::vector<std::wstring> titles;
  for (int row = 1; row < run.RowCount(); ++row) titles.push_back(run.RowTitle(row));
  return titles;
}

const std::vector<std::wstring> kBuiltInTitles = {L"桌面", L"我的文档", L"下载"};

TEST(OutsideInput, ARulesFileThatNeverFinishesGivesWayAndTheWindowStillCloses) {
  KorvalinRun run("endless");
  run.Put("rules.json", "{\"regPath\": (function () { for (;;) {} })()}");
  // Closed while the document is still being evaluated: the header row is
  // in once loading has begun.
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.WaitForRows(1));
  Sleep(1000);
  PostMessageA(run.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(2000), 0u) << "still running two seconds after the window was closed";

  // Left alone: the built-in rules after eight seconds, and a word about it.
  KorvalinRun again("endless", ProgramUnderTest(), true);
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(again.WaitForRows(4, 30000));
  EXPECT_EQ(Titles(again), kBuiltInTitles);
  Dialog notice = WaitForDialog(again.processId());
  EXPECT_TRUE(notice.Shows(L"rules.json 在 8 秒内未能读完，已改用内置的目录规则。")) << notice.AllTexts();
  Answer(notice, IDCLOSE);
  PostMessageA(again.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(again.WaitForExit(2000), 0u) << "still running two seconds after the window was closed";
}

TEST(OutsideInput, ARulesFileFarLargerThanAnyRuleSetIsNotRead) {
  KorvalinRun run("huge");
  std::string rules = "{\"regPath\": [{\"title\": \"x\", \"name\": \"Desktop\", \"root\": 3}]} //";
  rules.resize(17 * 1024 * 1024, ' ');
  run.Put("rules.json", rules);
  ASSERT_TRUE(run.Start() && run.WaitForRows(4));
  EXPECT_EQ(Titles(run), kBuiltInTitles);
  Dialog notice = WaitForDialog(run.processId());
  EXPECT_TRUE(notice.Shows(L"rules.json 文件超过 16 MB，未读取，已改用内置的目录规则。")) << notice.AllTexts();
  Answer(notice, IDCLOSE);
  EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::e2e
