// Resource balance over long use: 1,000 repaints, 10,000 mouse moves over
// the rows, a full rule load and ten moves of a small folder must leave
// every count where it was.
#include <cstdio>

#include "app/main/globals.h"
#include "app/dialogs/window_host.h"
#include "app/list/rule_rows.h"
#include "bench/bench_support.h"
#include "bench/bench_window.h"
#include "bench/benchmarks.h"
#include "bench/move_balance.h"

namespace korvalin::bench {
namespace {

void RuleLoad() {
  ListWindow window(&folderList);
  WindowHost host(nullptr, "Korvalin");
  LoadRuleSet(*folderList, host);
}

// Ten moves of a small folder with its files, after one that binds what a
// move needs for the rest of the process.
bool TenMoves() {
  MoveScratch scratch;
  if (!scratch.ready() || !scratch.moveOnce()) {
    std::fprintf(stderr, "the scratch folder could not be made or moved\n");
    return false;
  }
  const Resources before = CountResources();
  int moved = 0;
  for (int i = 0; i < 10; ++i) moved += scratch.moveOnce();
  const Resources after = CountResources();
  Report("balance", "ten moves of a small folder: moves that switched the folder and carried every file", moved,
         "moves", "all 10 expected; 30 files of 4 KiB each time");
  return ReportGrowth("ten moves of a small folder", before, after) && moved == 10;
}

}  // namespace

int RunBalanceBenchmarks() {
  bool level = true;
  {
    FolderList* list = nullptr;
    ListWindow window(&list);
    window.addRows(1000);
    // Once first: bindings, fonts and theme data that stay for the process.
    RepaintList(window.handle());
    MoveOverRows(list, 40);
    Resources before = CountResources();
    for (int i = 0; i < 1000; ++i) RepaintList(window.handle());
    Pump();
    Resources after = CountResources();
    level &= ReportGrowth("1,000 repaints", before, after);

    before = CountResources();
    const int hovered = MoveOverRows(list, 10000);
    after = CountResources();
    Report("balance", "10,000 mouse moves: moves that hovered their row", hovered, "moves", "all 10,000 expected");
    level &= hovered == 10000;
    level &= ReportGrowth("10,000 mouse moves", before, after);
  }
  RuleLoad();  // the script engine's first load stays in the process
  Resources before = CountResources();
  RuleLoad();
  Resources after = CountResources();
  level &= ReportGrowth("full rule load (list created, loaded, destroyed)", before, after);
  level &= TenMoves();
  Report("balance", "all counts level", level ? 1 : 0, "bool", "target: 1");
  return level ? 0 : 1;
}

}  // namespace korvalin::bench
