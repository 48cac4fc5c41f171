// The files at a destination that a move's copy replaces. Their copies wait
// under names of their own until the whole copy is verified; then each
// replaced file is set aside and its copy takes its name. Until the move is
// done every replaced file can still go back, so a move that stops before
// the switch leaves the destination's files as it found them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "migrate/tree_plan.h"

namespace korvalin {

class Replacements {
 public:
  Replacements(const TreePlan& plan, const std::wstring& to) : plan_(plan), to_(to) {}

  // Puts every waiting copy in its place. False, with every replaced file
  // back and the copies waiting again, when one cannot be; failed() names it.
  bool putInPlace();
  // Every replaced file back in its place, every copy deleted.
  void putBack();
  // The move is done: the replaced files go.
  void finish();

  const std::wstring& failed() const { return failed_; }

 private:
  struct Placed {
    std::wstring place, waiting, aside;
  };
  void undo();

  const TreePlan& plan_;
  const std::wstring to_;
  std::vector<Placed> placed_;
  std::wstring failed_;
};

}  // namespace korvalin
