// The task dialog wrapper and its icon ordinals, against Wine's real
// TaskDialog: a second thread finds the dialog, reads it and presses a button.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "app/dialogs/task_dialog.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(IconOrdinal, PacksTheNegatedNumberIntoTheLowWord) {
  EXPECT_EQ(IconOrdinal(9), 0xFFF7);
  EXPECT_EQ(IconOrdinal(6), 0xFFFA);
  EXPECT_EQ(IconOrdinal(7), 0xFFF9);
  EXPECT_EQ(IconOrdinal(0), 0);
}

// What the driver thread saw of the dialog.
struct SeenDialog {
  bool found = false;
  std::wstring title;
  HWND owner = nullptr;
  std::vector<std::wstring> texts;  // non-empty texts of the dialog's static controls

  bool Shows(const std::wstring& text) const {
    for (const std::wstring& t : texts)
      if (t == text) return true;
    return false;
  }
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto* seen = reinterpret_cast<SeenDialog*>(context);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  if (text[0]) seen->texts.push_back(text);
  return TRUE;
}

// A dialog of this process with the title; never another process's window.
HWND FindOwnDialog(const std::wstring& title) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"#32770", title.c_str()))) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

// Finds the task dialog titled `title` from another thread, records what it
// shows and sends it `message` (WM_COMMAND with `command`, or WM_CLOSE).
// Under Wine the main instruction and the content are static controls.
class DialogDriver {
 public:
  DialogDriver(std::wstring title, UINT message, WPARAM command, DWORD timeoutMs = 10000)
      : thread_([this, title, message, command, timeoutMs] {
          HWND dialog = nullptr;
          for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < timeoutMs;) {
            dialog = FindOwnDialog(title);
            if (!dialog) Sleep(50);
          }
          if (!dialog) return;
          Sleep(100);  // let it finish laying out its controls
          seen_.found = true;
          wchar_t text[1024] = {};
          GetWindowTextW(dialog, text, 1024);
          seen_.title = text;
          seen_.owner = GetWindow(dialog, GW_OWNER);
          EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&seen_));
          PostMessageW(dialog, message, command, 0);
        }) {}
  ~DialogDriver() { Join(); }

  const SeenDialog& Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  SeenDialog seen_;
  std::thread thread_;
};

TEST(ShowTaskDialog, ShowsTheChineseTextsAndReturnsOkOrCancel) {
  {
    DialogDriver driver(L"迁移工具 确定", WM_COMMAND, IDOK);
    EXPECT_EQ(ShowTaskDialog(nullptr, "迁移工具 确定", "确认操作模式",
                             "请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？", kButtonsOkCancel,
                             IconOrdinal(9)),
              1);
    const SeenDialog& seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, L"迁移工具 确定");
    EXPECT_TRUE(seen.Shows(L"确认操作模式"));
    EXPECT_TRUE(seen.Shows(L"请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？"));
  }
  {
    DialogDriver driver(L"迁移工具 取消", WM_COMMAND, IDCANCEL);
    EXPECT_EQ(ShowTaskDialog(nullptr, "迁移工具 取消", "确认操作", "将桌面移到 D:\\桌面", kButtonsOkCancel,
                             IconOrdinal(9)),
              2);
    const SeenDialog& seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.Shows(L"确认操作"));
    EXPECT_TRUE(seen.Shows(L"将桌面移到 D:\\桌面"));
  }
}

TEST(ShowTaskDialog, CloseButtonReturnsEight) {
  // Wine ignores WM_CLOSE on a dialog without a Cancel button; the Close
  // button itself is command IDCLOSE.
  DialogDriver driver(L"关闭按钮", WM_COMMAND, IDCLOSE);
  EXPECT_EQ(ShowTaskDialog(nullptr, "关闭按钮", "错误", "无效的规则", kButtonsClose, IconOrdinal(6)), 8);
  const SeenDialog& seen = driver.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.Shows(L"无效的规则"));
}

TEST(ShowTaskDialog, AbsentTextsShowAsEmpty) {
  DialogDriver driver(L"", WM_COMMAND, IDCLOSE);
  EXPECT_EQ(ShowTaskDialog(nullptr, nullptr, "", nullptr, kButtonsClose, IconOrdinal(7)), 8);
  const SeenDialog& seen = driver.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, L"");
  EXPECT_TRUE(seen.texts.empty());
}

TEST(ShowTaskDialog, ClosingAQuestionIsNotConsent) {
  DialogDriver driver(L"关闭问题", WM_CLOSE, 0);
  EXPECT_EQ(ShowTaskDialog(nullptr, "关闭问题", "确认操作", "继续？", kButtonsOkCancel, IconOrdinal(9)), 2);
  EXPECT_TRUE(driver.Join().found);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(ShowTaskDialog, IsOwnedByTheGivenWindow) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KorvalinDialogOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"主窗口", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(owner, nullptr);
  DialogDriver driver(L"主窗口 提醒", WM_COMMAND, IDCLOSE);
  EXPECT_EQ(ShowTaskDialog(owner, "主窗口 提醒", "提醒", "已在默认位置", kButtonsClose, IconOrdinal(9)), 8);
  const SeenDialog& seen = driver.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_TRUE(seen.Shows(L"提醒"));
  // A modal dialog gives its owner back when it ends.
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST(ShowTaskDialog, AnOwnerThatIsNoWindowIsNoConsent) {
  // Windows refuses such an owner with an error code; Wine reports S_OK with
  // the dialog's own failure, -1. Either way nothing shows and the result is
  // negative. The guard presses Close should a dialog appear after all.
  DialogDriver guard(L"无主", WM_COMMAND, IDCLOSE, 1500);
  int32_t result = ShowTaskDialog(reinterpret_cast<HWND>(static_cast<intptr_t>(0x7FFF0123)), "无主", "错误",
                                  "无主对话框", kButtonsClose, IconOrdinal(6));
  EXPECT_LT(result, 0);
  EXPECT_FALSE(guard.Join().found);
}

}  // namespace
}  // namespace korvalin::test
