// Which of several texts a part of a row shows, told by the screen's pixels
// against the same texts drawn here in the row's font.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/korvalin_run.h"

namespace korvalin::e2e {

// Pixels that differ clearly between the screen's `area` of a row (row
// coordinates) and `text` drawn by DrawTextA in `box` with `format`, in
// "微软雅黑" at size 18.
int InkMismatch(const KorvalinRun& run, int row, const RECT& area, const RECT& box, UINT format,
                const std::string& text);

}  // namespace korvalin::e2e
