#include "rules/bounded_evaluation.h"

#include "image/declared_functions.h"

namespace korvalin {
namespace {

DWORD WINAPI EvaluateOnItsOwnThread(LPVOID argument) {
  std::unique_ptr<std::shared_ptr<Evaluation>> evaluation(static_cast<std::shared_ptr<Evaluation>*>(argument));
  // The engine lives in this thread's own apartment.
  dll::CoInitialize(nullptr);
  (*evaluation)->evaluate((*evaluation)->givenUp);
  dll::CoUninitialize();
  return 0;
}

WaitOutcome PlainWait(HANDLE thread, DWORD milliseconds) {
  return dll::WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0 ? WaitOutcome::kEnded
                                                                          : WaitOutcome::kTimedOut;
}

}  // namespace

std::optional<WaitOutcome> EvaluateWithinBound(const std::shared_ptr<Evaluation>& evaluation, WorkerWait wait,
                                               DWORD milliseconds) {
  auto* lent = new std::shared_ptr<Evaluation>(evaluation);
  HANDLE thread = dll::CreateThread(nullptr, 0, EvaluateOnItsOwnThread, lent, 0, nullptr);
  if (!thread) {
    delete lent;
    return std::nullopt;
  }
  const WaitOutcome outcome = (wait ? wait : PlainWait)(thread, milliseconds);
  if (outcome != WaitOutcome::kEnded) {
    // A length the document only claims would otherwise keep the thread
    // adding empty entries until the process runs out of memory.
    evaluation->givenUp = true;
    dll::SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
  }
  dll::CloseHandle(thread);
  return outcome;
}

}  // namespace korvalin
