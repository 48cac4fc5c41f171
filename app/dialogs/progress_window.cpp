#include "app/dialogs/progress_window.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/dialogs/message_pump.h"
#include "encoding/shown_names.h"
#include "encoding/wide_text.h"
#include "image/declared_functions.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr int kCountsText = 100;
constexpr int kFileText = 101;
constexpr int kBar = 102;
constexpr int kBarSteps = 1000;
// Each refresh sets two texts and the bar, GUI-thread time under Wine that
// the copy's threads would otherwise have: a few a second keep the counts
// moving without slowing the copy.
constexpr DWORD kRefreshMs = 250;
// A copy done within this never shows the window: making and taking down a
// dialog would cost more than the copy's own progress is worth.
constexpr DWORD kShowAfterMs = 300;

// The copy being shown; one at a time, on the GUI thread.
CopyProgress* shown = nullptr;

// An in-memory dialog template: WORDs, strings in UTF-16, items on DWORD
// boundaries.
class DialogTemplate {
 public:
  void header(const char* title, int items, short width, short height) {
    // Shown once it is whole, texts and all.
    const DWORD style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION;
    dword(style);
    dword(0);
    word(static_cast<WORD>(items));
    word(0), word(0), word(static_cast<WORD>(width)), word(static_cast<WORD>(height));
    word(0);  // no menu
    word(0);  // the dialog class
    text(title);
    word(9);
    text("MS Shell Dlg");
  }
  // A control of a predefined class (0x80 button, 0x82 static) or a named one.
  void item(DWORD style, short x, short y, short cx, short cy, int id, WORD atom, const char* className,
            const char* caption) {
    while (words_.size() % 2) words_.push_back(0);
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(0);
    word(static_cast<WORD>(x)), word(static_cast<WORD>(y)), word(static_cast<WORD>(cx)), word(static_cast<WORD>(cy));
    word(static_cast<WORD>(id));
    if (className) {
      text(className);
    } else {
      word(0xFFFF);
      word(atom);
    }
    text(caption);
    word(0);  // no creation data
  }
  LPCDLGTEMPLATEA get() const { return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data()); }

 private:
  void word(WORD w) { words_.push_back(w); }
  void dword(DWORD d) {
    word(LOWORD(d));
    word(HIWORD(d));
  }
  void text(const char* narrow) {
    rt::OwnedBlock wide(ToWideText(narrow, 0, false, 0));
    const auto* units = reinterpret_cast<const WORD*>(rt::ByteSetData(wide.get()));
    const int32_t count = rt::ByteSetLength(wide.get()) / 2;
    words_.insert(words_.end(), units, units + count);  // the zero unit included
  }
  std::vector<WORD> words_;
};

INT_PTR CALLBACK ProgressProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  const bool cancel = (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE;
  if (!cancel) return FALSE;
  // The file being copied is finished first; then nothing more is done.
  if (shown) shown->cancel();
  dll::SetDlgItemTextA(dialog, IDCANCEL, "正在取消…");
  return TRUE;
}

HWND CreateProgressWindow(HWND owner) {
  DialogTemplate layout;
  layout.header("正在迁移文件", 4, 260, 78);
  layout.item(SS_LEFT, 8, 8, 244, 10, kCountsText, 0x0082, nullptr, "正在准备…");
  layout.item(SS_LEFT | SS_PATHELLIPSIS, 8, 22, 244, 10, kFileText, 0x0082, nullptr, "");
  layout.item(0, 8, 38, 244, 10, kBar, 0, PROGRESS_CLASSA, "");
  layout.item(BS_PUSHBUTTON | WS_TABSTOP, 202, 56, 50, 14, IDCANCEL, 0x0080, nullptr, "取消");
  HWND dialog = dll::CreateDialogIndirectParamA(dll::GetModuleHandleA(nullptr), layout.get(), owner,
                                                ProgressProcedure, 0);
  if (!dialog) return nullptr;
  dll::SendDlgItemMessageA(dialog, kBar, PBM_SETRANGE32, 0, kBarSteps);
  dll::ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

void Refresh(HWND dialog, const CopyProgress& progress) {
  const std::string counts = "已复制 " + std::to_string(progress.filesDone()) + " / " +
                             std::to_string(progress.filesTotal()) + " 个文件，" + Megabytes(progress.bytesDone()) +
                             " / " + Megabytes(progress.bytesTotal()) + " MB";
  dll::SetDlgItemTextA(dialog, kCountsText, counts.c_str());
  dll::SetDlgItemTextA(dialog, kFileText, TextForShowing(progress.currentFile()).c_str());
  const int64_t total = progress.bytesTotal() > 0 ? progress.bytesTotal() : 1;
  const auto step = static_cast<WPARAM>(progress.bytesDone() * kBarSteps / total);
  dll::SendDlgItemMessageA(dialog, kBar, PBM_SETPOS, step, 0);
}

struct CopyJob {
  const std::function<CopyReport()>* copy;
  CopyReport report;
};

DWORD WINAPI RunCopy(LPVOID argument) {
  auto* job = static_cast<CopyJob*>(argument);
  job->report = (*job->copy)();
  return 0;
}

// Messages for the window and the dialog until the copy's thread ends; a
// quit that comes meanwhile cancels the copy and is passed on afterwards.
// Returns the dialog, made once the copy has run for a while, or null.
HWND AnswerUntilDone(HANDLE thread, HWND owner, CopyProgress& progress) {
  HWND dialog = nullptr;
  bool quit = false;
  int quitCode = 0;
  // The first beat comes when the window is due, the others a refresh
  // apart; messages (a mouse over the dialog) wake the loop in between.
  DWORD beat = dll::GetTickCount() + kShowAfterMs;
  for (;;) {
    const auto due = static_cast<int32_t>(beat - dll::GetTickCount());
    int code = 0;
    const PumpResult result = PumpWhileWaiting(thread, due > 0 ? due : 0, dialog, &code);
    if (result == PumpResult::kEnded) break;
    if (result == PumpResult::kQuit) {
      quit = true;
      quitCode = code;
      progress.cancel();
      continue;
    }
    beat = dll::GetTickCount() + kRefreshMs;
    if (!dialog && !quit) dialog = CreateProgressWindow(owner);
    if (dialog) Refresh(dialog, progress);
  }
  if (quit) dll::PostQuitMessage(quitCode);
  return dialog;
}

}  // namespace

CopyReport CopyWithProgressWindow(HWND owner, const std::function<CopyReport()>& copy, CopyProgress& progress) {
  CopyJob job{&copy, {}};
  HANDLE thread = dll::CreateThread(nullptr, 0, RunCopy, &job, 0, nullptr);
  if (!thread) return copy();
  dll::EnableWindow(owner, FALSE);
  shown = &progress;
  HWND dialog = AnswerUntilDone(thread, owner, progress);
  shown = nullptr;
  dll::EnableWindow(owner, TRUE);
  if (dialog) dll::DestroyWindow(dialog);
  dll::CloseHandle(thread);
  return job.report;
}

}  // namespace korvalin
