// The operation-mode question as the platform receives it: a copy of this
// program runs the whole Korvalin program with TaskDialog bound to the
// recorder, which answers at once with a configured button and result.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/main/entry.h"
#include "runtime/interface/startup.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kCaption[] = "Korvalin " KORVALIN_VERSION;
constexpr char kRecoveryCaption[] = "Korvalin " KORVALIN_VERSION " [ 恢复模式 ]";

// argv[2]: the button the dialog reports; argv[3]: its result, in hex.
KORVALIN_SCENARIO(recorded_mode_question) {
  if (argc < 4) return 2;
  KorvalinRecorderState* state = KorvalinRecorder();
  state->answerTaskDialog = 1;
  state->answerButton = std::atoi(argv[2]);
  state->answerResult = static_cast<int32_t>(std::strtoul(argv[3], nullptr, 16));
  return rt::RunApplication(&RecordingProgramImage(), ProgramEntry);
}

// One run of the program, asked the mode question by the argument "reset".
class ModeRun {
 public:
  ModeRun(int button, HRESULT result) : run_(IsolatedCopy(), Arguments(button, result), "SysPath_Mirt_Main") {}

  HWND window() const { return run_.window(); }
  std::string caption() const { return WindowText(run_.window()); }

  // The dialog calls once the question has been asked and answered, and the
  // GUI thread has finished with the answer.
  std::vector<KorvalinRecordedCall> askedQuestion() {
    for (int i = 0; i < 200; ++i) {
      RecorderLog log(run_.processId());
      if (log.attached() && !log.calls("TaskDialog").empty()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(run_.window(), WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored);
        return log.calls("TaskDialog");
      }
      Sleep(50);
    }
    return {};
  }

  DWORD close() { return run_.Close(); }

 private:
  static std::string Arguments(int button, HRESULT result) {
    char tail[96];
    wsprintfA(tail, "--child=recorded_mode_question %d %08lX reset", button, static_cast<unsigned long>(result));
    return tail;
  }

  ProgramRun run_;
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
  EXPECT_EQ(std::wstring(q.wide[0]), L"Korvalin " KORVALIN_VERSION_W) << "titled with the main window's caption";
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
