// What the copy would meet at the destination, looked at before anything is
// asked: files it would replace, entries it cannot go over, and whether any
// place it would write into is the folder being moved.
#pragma once

#include <cstdint>
#include <string>

#include "migrate/tree_plan.h"

namespace korvalin {

struct DestinationSurvey {
  int64_t replaced = 0;  // files of the same name the copy would replace
  std::wstring example;  // the first of them, relative
  // An entry the copy cannot go over: a link, a directory where the folder
  // has a file or the other way round, or a directory that cannot be read.
  std::wstring conflict;
  // The destination, or a directory of it the copy would write into, is
  // the folder or a directory of its tree (by what it is, not its name).
  bool intoFolder = false;
};

// Marks the plan's entries that replace a file at `to`.
DestinationSurvey SurveyDestination(TreePlan& plan, const std::wstring& to);

}  // namespace korvalin
