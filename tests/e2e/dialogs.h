// The dialogs of Korvalin's process, answered from outside: task dialogs by
// their texts and buttons, the folder browser by selecting a path in its
// tree (the path written into the other process's memory).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvalin::e2e {

struct Dialog {
  HWND window = nullptr;
  bool browser = false;
  std::wstring title;
  std::vector<std::wstring> texts;  // non-empty static texts
  bool Shows(const std::wstring& text) const;
  std::wstring AllTexts() const;  // for failure messages
};

// Waits for a visible dialog of the process; an empty Dialog on timeout.
Dialog WaitForDialog(DWORD processId, DWORD timeoutMs = 20000);
// Presses a button (IDOK, IDCANCEL, IDCLOSE) and waits until it is gone.
void Answer(const Dialog& dialog, WPARAM button);
// Selects the existing directory in the browser and presses OK; false (and
// the browser cancelled) when the selection did not take.
bool BrowseTo(HANDLE process, const Dialog& browser, const std::string& path);

}  // namespace korvalin::e2e
