// Korvalin with a rules.json of the user's own beside it.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

std::wstring Rule(const std::wstring& title, const std::wstring& name, const std::wstring& more) {
  return L"{\"title\": \"" + title + L"\", \"name\": \"" + name +
         L"\", \"path\": \"SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders\"" + more +
         L"}";
}

std::string PlacementBytes(int left, int top, int width, int height) {
  std::string bytes;
  for (int v : {left, top, width, height}) {
    bytes.push_back(static_cast<char>(v & 0xFF));
    bytes.push_back(static_cast<char>((v >> 8) & 0xFF));
  }
  return bytes;
}

bool IsRed(DWORD rgb) { return (rgb >> 16 & 0xFF) > 160 && (rgb >> 8 & 0xFF) < 90 && (rgb & 0xFF) < 90; }
bool IsDark(DWORD rgb) { return (rgb >> 16 & 0xFF) < 110 && (rgb >> 8 & 0xFF) < 110 && (rgb & 0xFF) < 110; }

struct LineInk {
  int red = 0;
  int dark = 0;
};

// The directory line of a row, (130, 5, W - 110, 33), as the screen shows it.
LineInk DirectoryLine(const KorvalinRun& run, int row) {
  POINT from = run.RowPoint(row, 130, 6);
  POINT to = run.RowPoint(row, run.RowWidth() - 110, 33);
  Capture capture = CaptureScreen({from.x, from.y, to.x, to.y});
  LineInk ink;
  for (DWORD pixel : capture.pixels) {
    if (IsRed(pixel)) ++ink.red;
    if (IsDark(pixel)) ++ink.dark;
  }
  return ink;
}

TEST(RulesFile, TenRulesInUtf8WithABomGiveElevenRowsAndTheInvalidOneInRed) {
  KorvalinRun run("ten-rules");
  std::wstring document = L"{\"regPath\": [";
  for (int i = 0; i < 10; ++i) {
    std::wstring title = L"规则" + std::to_wstring(i);
    // Rule 3 names a value the key does not have.
    std::wstring name = i == 3 ? L"NoSuchShellFolder" : L"Desktop";
    document += (i ? L", " : L"") + Rule(title, name, L", \"root\": 3");
  }
  document += L"]}";
  run.Put("rules.json", "\xEF\xBB\xBF" + Utf8(document));
  // Tall enough that the rows up to the invalid one are all in view.
  run.Put("Win.data", PlacementBytes(100, 10, 640, 760));
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.WaitForRows(11)) << run.RowCount();
  Sleep(300);
  ASSERT_EQ(run.RowCount(), 11);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(run.RowTitle(i + 1), L"规则" + std::to_wstring(i));

  run.BringForward();
  LineInk invalid = DirectoryLine(run, 4);
  LineInk valid = DirectoryLine(run, 3);
  EXPECT_GT(invalid.red, 40) << "the invalid rule's line is not red";
  EXPECT_EQ(valid.red, 0);
  EXPECT_GT(valid.dark, 40) << "the valid rule's line shows no text";
  EXPECT_EQ(run.Close(), 0u);
}

TEST(RulesFile, ARuleWithoutRootEndsWithTheRuntimeErrorBoxAndExitCode255) {
  KorvalinRun run("no-root");
  run.Put("rules.json", Utf8(L"{\"regPath\": [" + Rule(L"桌面", L"Desktop", L"") + L"]}"));
  HANDLE process = test::StartProcess(run.directory() + "\\Korvalin.exe", "", run.directory().c_str(),
                                      test::StandardHandles::kNul);
  ASSERT_NE(process, nullptr);
  DWORD processId = GetProcessId(process);
  // The rules load on the window's first activation.
  HWND window = test::WaitForProcessWindow(processId, "SysPath_Mirt_Main", nullptr, 20000);
  if (window && !test::FindProcessWindow(processId, "#32770", "错误")) {
    Sleep(1500);
    RECT rect = {};
    GetWindowRect(window, &rect);
    if (!test::FindProcessWindow(processId, "#32770", "错误")) ClickAt({rect.left + 20, rect.top + 80});
  }
  std::string text;
  bool shown = test::DismissProcessErrorBox(processId, &text);
  DWORD code = test::FinishProcess(process);
  EXPECT_TRUE(shown);
  EXPECT_EQ(text,
            "运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围\r\n");
  EXPECT_TRUE(code == 255 || code == 0xFFFFFFFFu) << code;
}

}  // namespace
}  // namespace korvalin::e2e
