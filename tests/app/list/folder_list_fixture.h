// A real FolderList on a real parent window of the test's own: a header and
// three folder rows, mouse messages posted and pumped, rows rendered through
// the parent's WM_DRAWITEM into a bitmap that the tests read back.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <vector>

#include "app/list/folder_list.h"

namespace korvalin::test {

constexpr int kRowHeight = 72;
constexpr int kListWidth = 560;
constexpr int kListHeight = 360;  // five rows' room; rows 0 to 3 are filled

// What the parent window's own procedure saw: everything the list's thunk
// on top of it did not answer.
struct ParentLog {
  std::vector<UINT> messages;
  bool saw(UINT message) const;
};
ParentLog& ParentMessages();

// Calls of the row action.
struct ActionLog {
  std::vector<int32_t> rows;
};
ActionLog& Actions();

class FolderListTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  HWND list() const { return list_->getHandle(); }
  RECT RowRect(int row) const;
  // The list client point at (x, y) inside the row, packed as in lParam.
  LPARAM At(int row, int x, int y) const;
  // Posts a mouse message at a row-relative point and pumps it; a move puts
  // the pointer there first, so hover tracking sees it on the list.
  void Mouse(UINT message, int row, int x, int y);
  // Sends it: nothing the platform queues in reply (letting go of the
  // capture queues a move where the pointer is) has run yet.
  LRESULT Send(UINT message, int row, int x, int y);
  void Click(int row, int x, int y);
  void PumpMouse();

  // Rows whose area is waiting to be painted; Validate forgets them.
  std::set<int> InvalidRows() const;
  void Validate();

  // Paints the whole list through WM_PRINTCLIENT; Pixel reads the result.
  void Render();
  COLORREF Pixel(int x, int y) const;
  COLORREF RowPixel(int row, int x, int y) const { return Pixel(x, row * kRowHeight + y); }
  // Pixels of the rectangle (row-relative) equal to the colour.
  int CountColor(int row, RECT area, COLORREF color) const;
  // Pixels of the rectangle that differ from the colour.
  int CountOther(int row, RECT area, COLORREF color) const;
  std::vector<COLORREF> Pixels(int row, RECT area) const;
  int width() const { return clientWidth_; }

  HWND parent_ = nullptr;
  FolderList* list_ = nullptr;

 private:
  static HWND sharedParent_;
  int clientWidth_ = 0;
  std::vector<COLORREF> pixels_;
};

// Live GDI objects of this process.
int GdiObjectCount();

}  // namespace korvalin::test
