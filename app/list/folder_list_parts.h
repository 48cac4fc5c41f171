// Pieces the FolderList source files share: row access, the row areas that
// drawing and clicks must agree on, and the checked call of a subroutine.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/list/folder_row.h"
#include "image/declared_functions.h"
#include "runtime/values/value_helpers.h"

namespace korvalin::folder_list {

// The header's link: the author's profile page, and its host as the text.
constexpr char kLinkAddress[] = "https://bbs.example.org/space/uid-52010.html";
constexpr char kLinkText[] = "bbs.example.org";

// An index outside rows is the array-index runtime error.
inline FolderRow& RowAt(void* rows, int32_t row) {
  return rt::ArrayElements<FolderRow>(rows)[rt::CheckSubscript(rows, static_cast<int64_t>(row) + 1)];
}

// Row-relative areas; width and height are the last folder row's.
inline RECT LinkArea(int32_t width) { return {width - 100, 6, width, 30}; }
inline RECT CheckTextArea(int32_t height) { return {130, 43, 260, height}; }
inline RECT ButtonArea(int32_t width) { return {width - 100, 24, width - 26, 50}; }
constexpr int32_t kTitlePanelWidth = 120;

// A subroutine reference runs only when the platform accepts it as code.
inline bool IsCallable(const void* code) {
  return code && !dll::IsBadCodePtr(reinterpret_cast<FARPROC>(const_cast<void*>(code)));
}

// The procedure the thunk passes a window's messages on to; null for none.
// Each message through the thunk reads three window properties, and under
// Wine each read is a round trip to the server: bulk work goes straight to
// this procedure.
WNDPROC PreviousProcedure(HWND window);

// Gives the window back to its previous procedure, if the thunk is still
// the window's procedure.
void RemoveThunk(HWND window);

}  // namespace korvalin::folder_list
