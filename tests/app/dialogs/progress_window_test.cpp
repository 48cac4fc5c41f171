// The copy's progress window against Wine's real dialogs: a stand-in copy
// runs on the window's worker thread and looks at the window from there.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>

#include "app/dialogs/progress_window.h"
#include "tests/support/dialogs.h"

namespace korvalin::test {
namespace {

constexpr int kCountsText = 100;

// Texts set on the window's counts line, seen on the thread that sets them.
std::atomic<int> countsTexts{0};

LRESULT CALLBACK WatchTexts(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_SETTEXT && GetDlgCtrlID(call->hwnd) == kCountsText) ++countsTexts;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class TextWatch {
 public:
  TextWatch() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, WatchTexts, nullptr, GetCurrentThreadId())) {
    countsTexts = 0;
  }
  ~TextWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  TextWatch(const TextWatch&) = delete;
  TextWatch& operator=(const TextWatch&) = delete;
  bool valid() const { return hook_ != nullptr; }

 private:
  HHOOK hook_;
};

BOOL CALLBACK MatchProgressWindow(HWND window, LPARAM result) {
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  if (lstrcmpW(title, kProgressWindowTitle) != 0) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

// The progress window of the thread that runs the copy's window, if it is
// there now.
HWND ProgressWindowOf(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(thread, MatchProgressWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A copy that takes `ms` and pushes mouse messages at the window, when it
// is there, as fast as it can; counts the ones it pushed.
std::function<CopyReport()> BusyCopy(DWORD ms, CopyProgress& progress, int& pushed) {
  const DWORD gui = GetCurrentThreadId();
  return [ms, gui, &progress, &pushed] {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(1)) {
      if (HWND window = ProgressWindowOf(gui)) {
        PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        ++pushed;
      }
      progress.finishFile(4096, 4096);
    }
    CopyReport report;
    report.outcome = CopyOutcome::kCopied;
    return report;
  };
}

TEST(ProgressWindow, ShownForALongCopyOnlyAndRefreshedOnItsOwnBeat) {
  TextWatch watch;
  ASSERT_TRUE(watch.valid());

  // Done within the 0.3 s before the window is due: no window at all.
  CopyProgress quick(10, 40960);
  int pushedQuick = 0;
  EXPECT_EQ(CopyWithProgressWindow(nullptr, BusyCopy(30, quick, pushedQuick), quick).outcome, CopyOutcome::kCopied);
  EXPECT_EQ(pushedQuick, 0);
  EXPECT_EQ(countsTexts.load(), 0);

  // 1.5 s: the window from 0.3 s on, four refreshes a second however many
  // messages wake its thread in between; gone when the copy returns.
  CopyProgress slow(100000, 409600000);
  int pushed = 0;
  EXPECT_EQ(CopyWithProgressWindow(nullptr, BusyCopy(1500, slow, pushed), slow).outcome, CopyOutcome::kCopied);
  EXPECT_GT(pushed, 100) << "the window was not there to take messages";
  EXPECT_GE(countsTexts.load(), 3);
  EXPECT_LE(countsTexts.load(), 8) << "refreshed at each message rather than on its beat";
  EXPECT_EQ(ProgressWindowOf(GetCurrentThreadId()), nullptr);
}

}  // namespace
}  // namespace korvalin::test
