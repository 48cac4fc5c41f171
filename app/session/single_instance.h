// One Korvalin at a time for each program directory: the move journal and
// the placement file beside the program belong to one process, and a
// second one would take a running move for an interrupted one.
#pragma once

namespace korvalin {

// True when no other Korvalin of this directory runs (in this session);
// the claim lasts until the process ends.
bool ClaimProgramDirectory();

// The window's word for a second start.
void TellAnotherIsRunning();

}  // namespace korvalin
