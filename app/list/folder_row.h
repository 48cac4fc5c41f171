// A row of the folder list as the list keeps it.
#pragma once

#include <cstdint>

#include "runtime/values/value.h"

namespace korvalin {

// One record per list row; every text is owned by the list.
struct FolderRow {
  rt::Text name = nullptr;
  int32_t root = 0;
  rt::Text path = nullptr;
  int32_t moveFiles = 0;
  rt::Text currentDir = nullptr;
};

}  // namespace korvalin
