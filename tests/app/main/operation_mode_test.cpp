// The operation-mode question as a user meets it: Korvalin.exe started with
// arguments, its real question answered from this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kCaption[] = "Korvalin " KORVALIN_VERSION;
constexpr char kRecoveryCaption[] = "Korvalin " KORVALIN_VERSION " [ 恢复模式 ]";

// A copy of Korvalin.exe in a directory of its own, so nothing it reads or
// writes beside itself mixes with other tests.
const std::string& IsolatedKorvalin() {
  static const std::string path = [] {
    std::string target = MakeTempDirectory("mode") + "\\Korvalin.exe";
    CopyFileA(KORVALIN_EXE, target.c_str(), FALSE);
    return target;
  }();
  return path;
}

// One run of Korvalin.exe with its main window found.
class KorvalinRun {
 public:
  explicit KorvalinRun(const std::string& arguments) : run_(IsolatedKorvalin(), arguments, "SysPath_Mirt_Main") {}

  HWND window() const { return run_.window(); }
  std::string Caption() const { return WindowText(run_.window()); }

  HWND WaitForQuestion(DWORD timeoutMs = 20000) const {
    return WaitForProcessWindow(run_.processId(), "#32770", kCaption, timeoutMs);
  }

  DWORD Close() { return run_.Close(); }

 private:
  ProgramRun run_;
};

// Waits for the question to go away after it has been answered.
bool QuestionGone(HWND question) {
  for (int i = 0; i < 200; ++i) {
    if (!IsWindow(question)) return true;
    Sleep(50);
  }
  return false;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM context) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  wchar_t text[512] = {};
  if (lstrcmpiW(className, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0)
    reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(text);
  return TRUE;
}

// The question's texts as Wine's task dialog shows them, in static controls.
std::vector<std::wstring> QuestionTexts(HWND question) {
  std::vector<std::wstring> texts;
  EnumChildWindows(question, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// Answers the question and checks the caption that results.
void AnswerAndExpectCaption(const std::string& arguments, WPARAM answer, const char* expectedCaption,
                            bool checkAskedOnce = false) {
  SCOPED_TRACE("arguments: " + arguments);
  KorvalinRun run(arguments);
  ASSERT_NE(run.window(), nullptr);
  HWND question = run.WaitForQuestion();
  ASSERT_NE(question, nullptr) << "no mode question";
  EXPECT_EQ(GetWindow(question, GW_OWNER), run.window());
  // Its controls come up just after the dialog window.
  for (int i = 0; i < 100 && QuestionTexts(question).size() < 2; ++i) Sleep(50);
  EXPECT_EQ(QuestionTexts(question),
            (std::vector<std::wstring>{L"确认操作模式", L"请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？"}));
  PostMessageA(question, WM_COMMAND, answer, 0);
  ASSERT_TRUE(QuestionGone(question));
  // The caption is written on the GUI thread right after the dialog ends.
  for (int i = 0; i < 40 && run.Caption() != expectedCaption; ++i) Sleep(50);
  EXPECT_EQ(run.Caption(), expectedCaption);
  // Asked once only: no second question follows the answer.
  if (checkAskedOnce) {
    EXPECT_EQ(run.WaitForQuestion(1000), nullptr);
  }
  EXPECT_EQ(run.Close(), 0u);
}

TEST(OperationMode, OkSwitchesToRecoveryMode) {
  AnswerAndExpectCaption("RESET", IDOK, kRecoveryCaption);
  AnswerAndExpectCaption("preset", IDOK, kRecoveryCaption);
}

TEST(OperationMode, CancelKeepsTheNormalMode) {
  AnswerAndExpectCaption("/Reset", IDCANCEL, kCaption);
  AnswerAndExpectCaption("-reset", IDCANCEL, kCaption);
}

TEST(OperationMode, AnyArgumentMayCarryResetAndTheQuestionComesOnce) {
  // Two matching arguments: one question. A later, quoted argument counts too.
  AnswerAndExpectCaption("-reset RESET", IDOK, kRecoveryCaption, true);
  AnswerAndExpectCaption("first \"after reSet\"", IDCANCEL, kCaption, true);
}

TEST(OperationMode, NoQuestionWithoutArguments) {
  KorvalinRun run("");
  ASSERT_NE(run.window(), nullptr);
  EXPECT_EQ(run.WaitForQuestion(2000), nullptr);
  // It was activated, so its first-activation event has run.
  EXPECT_EQ(GetForegroundWindow(), run.window());
  EXPECT_EQ(run.Caption(), kCaption);
  EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
}  // namespace korvalin::test
