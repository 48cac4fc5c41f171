// What Korvalin looks at before its window comes up.
#pragma once

namespace korvalin {

// A move the last run did not finish is explained, with task dialogs of
// their own (the main window is not there yet).
void ExplainInterruptedMoveAtStart();

// Run as another account than the desktop's user, the window warns first
// (Cancel its default); false when the user declined.
bool ConfirmOtherAccount();

}  // namespace korvalin
