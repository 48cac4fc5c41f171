// The one dialog driver of the tests: the dialogs of a process (another one,
// or this one from a thread of its own) found by its id, read, and answered:
// task dialogs by their buttons, the folder browser by selecting a path in
// its tree (the texts go through the dialog process's memory, so the same
// code serves both).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvalin::test {

struct Dialog {
  HWND window = nullptr;
  bool browser = false;
  std::wstring title;
  HWND owner = nullptr;
  std::vector<std::wstring> texts;  // non-empty static texts
  bool Shows(const std::wstring& text) const;
  std::wstring AllTexts() const;  // for failure messages
};

// Waits for a visible dialog of the process that is not among `skip`; an
// empty Dialog on timeout. The progress window a copy shows is no question
// and is passed over here; WaitForProgressWindow finds it.
Dialog WaitForDialog(DWORD processId, DWORD timeoutMs = 20000, const std::vector<HWND>& skip = {});
HWND WaitForProgressWindow(DWORD processId, DWORD timeoutMs = 20000);
extern const wchar_t kProgressWindowTitle[];
// Selects the existing directory in the browser; false when it did not take.
bool SelectPath(HANDLE process, HWND browser, const std::string& path);
// Presses a button (IDOK, IDCANCEL, IDCLOSE) and waits until it is gone.
void Answer(const Dialog& dialog, WPARAM button);
// Selects the existing directory in the browser and presses OK; false (and
// the browser cancelled) when the selection did not take.
bool BrowseTo(HANDLE process, const Dialog& browser, const std::string& path);

}  // namespace korvalin::test
