// Clicks on a row's areas, as posted mouse messages: the check box text,
// the title panel that opens Explorer, and the header's link.
#include "tests/app/list/folder_list_fixture.h"

#include <tlhelp32.h>

#include <string>

#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

// Processes this one started, by id.
std::set<DWORD> ChildProcesses(const char* exeName = nullptr) {
  std::set<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
    if (exeName && lstrcmpiA(entry.szExeFile, exeName) != 0) continue;
    found.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

void EndProcess(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  if (!process) return;
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

int32_t MoveFilesOf(FolderList* list, int row) {
  FolderRow record = list->getRowRecord(row);
  int32_t value = record.moveFiles;
  ReleaseRow(record);
  return value;
}


TEST_F(FolderListTest, CheckBoxTextFlipsTheRowAndItsGlyphDoesNot) {
  Render();
  struct Case {
    int x, y;
    bool flips;
  };
  const Case cases[] = {{130, 43, true}, {259, 71, true}, {200, 60, true},  {129, 50, false}, {120, 50, false},
                        {125, 60, false}, {260, 50, false}, {140, 42, false}, {300, 60, false}};
  const std::set<DWORD> explorers = ChildProcesses("explorer.exe");
  for (const Case& c : cases) {
    int32_t before = MoveFilesOf(list_, 1);
    Validate();
    Click(1, c.x, c.y);
    EXPECT_EQ(MoveFilesOf(list_, 1), c.flips ? !before : before) << c.x << "," << c.y;
    EXPECT_EQ(InvalidRows().count(1) == 1, c.flips) << c.x << "," << c.y;
  }
  // None of these presses is in the title panel.
  std::set<DWORD> started = ChildProcesses("explorer.exe");
  for (DWORD id : started)
    if (!explorers.count(id)) EndProcess(id);
  EXPECT_EQ(started, explorers);
  // Only the row pressed changes; the rows keep their own flags.
  EXPECT_EQ(MoveFilesOf(list_, 2), 1);
  EXPECT_EQ(MoveFilesOf(list_, 3), 0);
  Click(2, 200, 60);
  EXPECT_EQ(MoveFilesOf(list_, 2), 0);
}

// Waits for a process started by this one since `before` and not yet seen.
DWORD WaitForNewChild(const std::set<DWORD>& before, const char* exeName, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (DWORD id : ChildProcesses(exeName))
      if (!before.count(id)) return id;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return 0;
}

TEST_F(FolderListTest, TitlePanelOpensExplorerOnTheRowsDirectory) {
  std::string directory = MakeTempDirectory("explore");
  list_->setRowCurrentDir(1, directory.c_str());
  Render();
  std::set<DWORD> before = ChildProcesses("explorer.exe");
  Click(1, 60, 36);
  DWORD explorer = WaitForNewChild(before, "explorer.exe", 10000);
  ASSERT_NE(explorer, 0u);
  // Its browser window comes to show the row's directory.
  const std::string name = directory.substr(directory.rfind('\\') + 1);
  std::string title;
  for (DWORD start = GetTickCount(); title != name && GetTickCount() - start < 20000; Sleep(100)) {
    HWND window = FindProcessWindow(explorer, "ExplorerWClass", nullptr);
    title = window ? WindowText(window) : "";
  }
  EndProcess(explorer);
  EXPECT_EQ(title, name);
  EXPECT_EQ(ChildProcesses("explorer.exe"), before);
  // The panel is not the check box.
  EXPECT_EQ(MoveFilesOf(list_, 1), 0);
  RemoveDirectoryA(directory.c_str());
}

TEST_F(FolderListTest, LinkOpensOnlyOnceAFolderRowWasDrawn) {
  std::set<DWORD> before = ChildProcesses();
  Click(0, width() - 50, 18);
  // The browser may be gone again soon after it started: look at once and
  // then for a while.
  DWORD unexpected = WaitForNewChild(before, nullptr, 700);
  EXPECT_EQ(unexpected, 0u);
  if (unexpected) EndProcess(unexpected);
  Render();
  Click(0, width() - 50, 18);
  DWORD browser = WaitForNewChild(before, nullptr, 10000);
  EXPECT_NE(browser, 0u);
  if (browser) EndProcess(browser);
}

}  // namespace
}  // namespace korvalin::test
