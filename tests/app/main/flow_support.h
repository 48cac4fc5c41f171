// What the folder-operation flow tests share: the main window of this test
// process with its folder list, a driver thread that answers the real browse
// and task dialogs of this process, rows, registry values and files.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/list/folder_list.h"
#include "tests/support/dialogs.h"
#include "tests/support/scratch.h"

namespace korvalin::test {

// One answer of the driver, in the order the dialogs come.
struct ScriptStep {
  enum Kind { kBrowseTo, kBrowseCancel, kPress } kind;
  std::string path;     // kBrowseTo
  WPARAM command = 0;   // kPress: IDOK, IDCANCEL, IDCLOSE
};
ScriptStep BrowseTo(const std::string& path);
ScriptStep BrowseCancel();
ScriptStep Press(WPARAM command);

// What the driver saw of one dialog, and whether the browser showed the
// scripted path.
struct SeenDialog : Dialog {
  explicit SeenDialog(Dialog dialog) : Dialog(std::move(dialog)) {}
  bool selected = false;
  std::string scriptedPath;
};

// Every dialog's texts, for a failure message.
std::wstring Describe(const std::vector<SeenDialog>& seen);

// Answers every dialog of this process from a thread of its own until
// stopped; dialogs past the script are cancelled or closed so a flow never
// hangs.
class DialogDriver {
 public:
  explicit DialogDriver(std::vector<ScriptStep> script);
  ~DialogDriver();
  // Stops the thread and returns what was seen.
  const std::vector<SeenDialog>& Finish();

 private:
  void Run();
  static WPARAM Respond(SeenDialog& seen, const ScriptStep& step);
  std::vector<ScriptStep> script_;
  std::vector<SeenDialog> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Loads the program's main window in this process once (with its list).
void EnsureMainWindow();
HWND TestMainWindow();
// Other tests look for Korvalin's window by class alone: a suite that loads
// it takes it down again.
void CloseMainWindow();

// Appends a row; returns its index.
int32_t AddRow(const char* title, const std::string& name, int32_t root, const std::string& keyPath, bool moveFiles,
               const std::string& currentDir);
std::string RowCurrentDir(int32_t row);

// A Unix symbolic link at `link` to the directory `target`, as a user's
// folder may be under Wine. False when it could not be made.
bool MakeDirectoryLink(const std::string& link, const std::string& target);

// Process ids of the running explorer.exe processes.
std::vector<DWORD> ExplorerProcesses();

// Ends and waits for every explorer.exe not in `before`: the shell restarts
// of the flows start them, and Wine restarts its desktop process on demand.
void EndExplorersStartedSince(const std::vector<DWORD>& before);

// A suite of flows: its shell restarts leave explorer processes, and its
// main window must not be taken for Korvalin's by later tests.
class FlowSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { explorersBefore_ = ExplorerProcesses(); }
  static void TearDownTestSuite() {
    CloseMainWindow();
    EndExplorersStartedSince(explorersBefore_);
  }
  static inline std::vector<DWORD> explorersBefore_;
};

std::wstring Wide(const std::string& text);

}  // namespace korvalin::test
