// Korvalin.exe as a user starts it: copied into a directory of its own with
// whatever rules.json or Win.data a scenario puts beside it, started as a
// process of its own, its windows found by its process id and driven from
// outside with real mouse input.
#pragma once

#include <windows.h>

#include <string>

namespace korvalin::e2e {

// The program under test, as a Windows path.
std::string ProgramUnderTest();

class KorvalinRun {
 public:
  // A fresh directory C:\korvalin-e2e\<name> holding a copy of `program`;
  // with `keep`, the directory a previous run left.
  explicit KorvalinRun(const std::string& name, const std::string& program = ProgramUnderTest(), bool keep = false);
  // Ends the process if it still runs, so no scenario leaves one behind.
  ~KorvalinRun();
  KorvalinRun(const KorvalinRun&) = delete;
  KorvalinRun& operator=(const KorvalinRun&) = delete;

  const std::string& directory() const { return directory_; }
  void Put(const std::string& fileName, const std::string& bytes) const;
  // Empty when the file is missing.
  std::string Read(const std::string& fileName, bool* exists = nullptr) const;

  // Starts the program from its directory; waits for its main window,
  // unless something is to come before it.
  bool Start(const std::string& arguments = "", bool waitForWindow = true);
  // Runs the program as a command (no window) with its output captured;
  // returns the exit code, ~0u when it had to be ended.
  DWORD RunCommand(const std::string& arguments, std::string* output, DWORD timeoutMs = 60000) const;
  HANDLE process() const { return process_; }
  DWORD processId() const { return processId_; }
  HWND window() const { return window_; }
  HWND list() const;
  std::wstring Caption() const;
  // Raises the window above others (the shell the program restarts opens a
  // window of its own) and has it paint anew, as a user's click on it would.
  void BringForward() const;
  RECT WindowRect() const;

  // Clicks an empty part of the header so the window is activated as a
  // user would, until the list holds `rows` rows; false on timeout.
  bool WaitForRows(int rows, DWORD timeoutMs = 20000);
  int RowCount() const;
  std::wstring RowTitle(int row) const;
  // A point of a row, relative to the row's top-left corner, on the screen.
  POINT RowPoint(int row, int x, int y) const;
  int RowWidth() const;
  void ClickRowButton(int row) const;

  // Asks the window to close as its close box does; returns the exit code
  // (~0u when the process did not end).
  DWORD Close();
  DWORD WaitForExit(DWORD timeoutMs = 20000);

 private:
  std::string directory_;
  std::string program_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

// Real input: the pointer moved to a screen point and the left button clicked.
void ClickAt(POINT point);

}  // namespace korvalin::e2e
