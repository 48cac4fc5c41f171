// What Korvalin looks at before its window comes up.
#pragma once

namespace korvalin {

// A move the last run did not finish is explained, with task dialogs of
// their own (the main window is not there yet).
void ExplainInterruptedMoveAtStart();

}  // namespace korvalin
