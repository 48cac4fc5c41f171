// The benchmark groups that run inside korvalin_bench.exe; each prints its
// result lines and returns 0 when every measurement could be taken.
#pragma once

#include <windows.h>

#include <string>

#include "app/list/folder_list.h"

namespace korvalin::bench {

int RunRuleBenchmarks();
// The parts of a load of `count` rules (a rules document at `path`, removed
// afterwards), each timed alone; false when they did not give every rule.
bool LoadBreakdown(const std::string& path, int count);
// The private memory the script control keeps per evaluation, plain COM.
bool EngineMemoryPerEvaluation();
// A long rules document in a bare script control: what stays of it.
int RunEngineDocumentBenchmark();
int RunPaintBenchmarks();
int RunBalanceBenchmarks();
// copy-prepare <dir> | copy-<korvalin|window|shell|files> <source> <destination>
int RunCopyBenchmark(int argc, char** argv);

// Repaints the whole visible list at once (what 1,000 repaints repeat).
void RepaintList(HWND list);
// Moves the pointer over the visible rows, title and button areas in turn;
// returns how many moves the list took as hovering the row moved over.
int MoveOverRows(FolderList* list, int moves);

}  // namespace korvalin::bench
