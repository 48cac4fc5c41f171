// The program's image with some declared functions bound to
// korvalin_recorder.dll instead of their system libraries: the same function
// names, so the program's own code reaches them through the runtime's real
// binding and runs unchanged.
#pragma once

#include <string>
#include <vector>

#include "runtime/interface/program_image.h"
#include "tests/recorder/recorder.h"

namespace korvalin::test {

const rt::ProgramImageHeader& RecordingProgramImage();

// This test program and the recorder copied into a directory of their own,
// so that a whole-program child's files beside itself (rules, placement,
// journal) stay apart: the copy's path.
const std::string& IsolatedCopy();

// One logged call, as "Name" or, for look-ups, "Name(text)".
std::string Describe(const KorvalinRecordedCall& call);

// The log of this process, or of a child that loaded the recorder.
class RecorderLog {
 public:
  RecorderLog();                          // this process
  explicit RecorderLog(DWORD processId);  // a child's; empty until it is there
  ~RecorderLog();
  RecorderLog(const RecorderLog&) = delete;
  RecorderLog& operator=(const RecorderLog&) = delete;

  bool attached() const { return state_ != nullptr; }
  KorvalinRecorderState* state() const { return state_; }
  std::vector<KorvalinRecordedCall> calls() const;
  // The calls named `function`, in order.
  std::vector<KorvalinRecordedCall> calls(const char* function) const;
  std::vector<std::string> trace() const;

 private:
  HANDLE mapping_ = nullptr;
  KorvalinRecorderState* state_ = nullptr;
};

}  // namespace korvalin::test
