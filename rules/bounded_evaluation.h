// A document evaluated on a thread of its own, within a bound: a document
// that never ends, or claims a length it does not have, must not hold the
// program.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>

namespace korvalin {

enum class WaitOutcome { kEnded, kTimedOut, kAbandoned };
// Waits up to `milliseconds` for the evaluation thread to end. The window
// keeps answering while it waits; the command line just waits.
using WorkerWait = WaitOutcome (*)(HANDLE thread, DWORD milliseconds);

// What the evaluating thread and the waiting one share; whichever lets go
// last frees it, so a thread given up on still has it.
class Evaluation {
 public:
  virtual ~Evaluation() = default;
  // Runs on the evaluation's thread, in an apartment of its own; stops
  // early once givenUp is set.
  virtual void evaluate(const std::atomic<bool>& givenUp) = 0;

  std::atomic<bool> givenUp{false};
};

// Runs the evaluation on a new thread and waits for it (with wait, or a
// plain wait when null). Nothing when no thread could be made. A thread
// given up on is told to stop and goes on at idle priority.
std::optional<WaitOutcome> EvaluateWithinBound(const std::shared_ptr<Evaluation>& evaluation, WorkerWait wait,
                                               DWORD milliseconds);

}  // namespace korvalin
