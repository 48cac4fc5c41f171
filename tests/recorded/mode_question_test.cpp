// The operation-mode question as the platform receives it: a copy of this
// program runs the whole Korvalin program with TaskDialog bound to the
// recorder, which answers at once with a configured button and result.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/entry.h"
#include "runtime/startup.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kCaption[] = "Korvalin 1.21";
constexpr char kRecoveryCaption[] = "Korvalin 1.21 [ 恢复模式 ]";

// argv[2]: the button the dialog reports; argv[3]: its result, in hex.
KORVALIN_SCENARIO(recorded_mode_question) {
  if (argc < 4) return 2;
  KorvalinRecorderState* state = KorvalinRecorder();
  state->answerTaskDialog = 1;
  state->answerButton = std::atoi(argv[2]);
  state->answerResult = static_cast<int32_t>(std::strtoul(argv[3], nullptr, 16));
  return rt::RunApplication(&RecordingProgramImage(), ProgramEntry);
}

// This program and the recorder in a directory of their own, so that the
// program's files beside itself (rules, placement) stay apart.
const std::string& IsolatedCopy() {
  static const std::string path = [] {
    const std::string directory = MakeTempDirectory("recorded");
    const std::string recorder = ThisProgramDirectory() + "\\korvalin_recorder.dll";
    CopyFileA(recorder.c_str(), (directory + "\\korvalin_recorder.dll").c_str(), FALSE);
    const std::string copy = directory + "\\recorded_tests.exe";
    CopyFileA(ThisProgramPath().c_str(), copy.c_str(), FALSE);
    return copy;
  }();
  return path;
}

// One run of the program, asked the mode question by the argument "reset".
class ModeRun {
 public:
  ModeRun(int button, HRESULT result) {
    char tail[96];
    wsprintfA(tail, " --child=recorded_mode_question %d %08lX reset", button, static_cast<unsigned long>(result));
    std::string commandLine = "\"" + IsolatedCopy() + "\"" + tail;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    processId_ = pi.dwProcessId;
    window_ = WaitForProcessWindow(processId_, "SysPath_Mirt_Main", nullptr);
  }
  ~ModeRun() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }

  HWND window() const { return window_; }
  std::string caption() const { return WindowText(window_); }

  // The dialog calls once the question has been asked and answered, and the
  // GUI thread has finished with the answer.
  std::vector<KorvalinRecordedCall> askedQuestion() {
    for (int i = 0; i < 200; ++i) {
      RecorderLog log(processId_);
      if (log.attached() && !log.calls("TaskDialog").empty()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored);
        return log.calls("TaskDialog");
      }
      Sleep(50);
    }
    return {};
  }

  DWORD close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    DWORD code = ~0u;
    if (WaitForSingleObject(process_, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &code);
    return code;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

void ExpectModeAfter(int button, HRESULT result, const char* expectedCaption) {
  SCOPED_TRACE("button " + std::to_string(button) + ", result " + std::to_string(result));
  ModeRun run(button, result);
  ASSERT_NE(run.window(), nullptr);
  const auto questions = run.askedQuestion();
  ASSERT_EQ(questions.size(), 1u) << "asked once";
  const KorvalinRecordedCall& q = questions[0];
  EXPECT_EQ(q.args[0], reinterpret_cast<uintptr_t>(run.window())) << "owned by the main window";
  EXPECT_NE(q.args[1], 0u) << "the program's module";
  EXPECT_EQ(std::wstring(q.wide[0]), L"Korvalin 1.21") << "titled with the main window's caption";
  EXPECT_EQ(std::wstring(q.wide[1]), L"确认操作模式");
  EXPECT_EQ(std::wstring(q.wide[2]), L"请选择操作模式，确认继续使用[恢复模式],取消使用[正常模式]？");
  EXPECT_EQ(q.args[5], 9u) << "OK and Cancel";
  EXPECT_EQ(q.args[6], 0xFFF7u) << "the icon ordinal";
  EXPECT_NE(q.args[7], 0u) << "where the pressed button goes";
  // The caption is written on the GUI thread right after the answer.
  for (int i = 0; i < 20 && run.caption() != expectedCaption; ++i) Sleep(50);
  EXPECT_EQ(run.caption(), expectedCaption);
  EXPECT_EQ(run.close(), 0u);
}

TEST(RecordedModeQuestion, OnlyOkSwitchesToRecoveryMode) {
  ExpectModeAfter(IDOK, S_OK, kRecoveryCaption);
  ExpectModeAfter(IDCANCEL, S_OK, kCaption);
  ExpectModeAfter(8, S_OK, kCaption);  // the Close button
  // A failed dialog counts as no answer, whatever the button word holds.
  ExpectModeAfter(IDOK, E_FAIL, kCaption);
}

}  // namespace
}  // namespace korvalin::test
