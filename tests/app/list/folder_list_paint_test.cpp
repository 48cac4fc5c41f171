// Rows painted through the parent's real WM_DRAWITEM and read back, and the
// GDI objects that painting and the list's background brush leave behind.
#include "tests/app/list/folder_list_fixture.h"

#include "app/main/globals.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin::test {
namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kPanel = 0xF7F6F5;
constexpr COLORREF kLine = 0xDCDBDA;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kText = 0x494949;
constexpr int kH = kRowHeight;

// A subclass over the list's thunk, counting the title requests that reach it.
WNDPROC underCounter = nullptr;
int titleRequests = 0;

LRESULT CALLBACK CountTitleRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LB_GETTEXTLEN || message == LB_GETTEXT) ++titleRequests;
  return CallWindowProcA(underCounter, window, message, wParam, lParam);
}

TEST_F(FolderListTest, HeaderIsFilledAndUnderlined) {
  Render();
  const int w = width();
  EXPECT_EQ(RowPixel(0, 1, 1), kPanel);
  EXPECT_EQ(RowPixel(0, w - 1, kH - 2), kPanel);
  EXPECT_EQ(RowPixel(0, 20, 30), kPanel);
  // The bottom line runs from x 5 to the right edge.
  EXPECT_EQ(CountColor(0, {5, kH - 1, w, kH}, kLine), w - 5);
  EXPECT_EQ(CountColor(0, {0, kH - 1, 5, kH}, kPanel), 5);
  // Product name, description and link are drawn on the fill.
  EXPECT_GT(CountOther(0, {26, 6, 130, 36}, kPanel), 30);
  EXPECT_GT(CountOther(0, {26, 38, w, kH - 1}, kPanel), 100);
  EXPECT_GT(CountOther(0, {w - 100, 6, w, 30}, kPanel), 20);
}

TEST_F(FolderListTest, FolderRowHasItsPanelLinesAndThemedParts) {
  Render();
  const int w = width();
  // Above the top line the row is the list's background.
  EXPECT_EQ(CountColor(1, {0, 0, w, 5}, kWhite), 5 * w);
  EXPECT_EQ(CountColor(1, {0, 5, w, 6}, kLine), w);
  EXPECT_EQ(CountColor(1, {5, kH - 5, w, kH - 4}, kLine), w - 5);
  EXPECT_EQ(RowPixel(1, 2, kH - 5), kWhite);
  // The panel's right edge, down to where the check box glyph starts.
  EXPECT_EQ(CountColor(1, {120, 6, 121, 33}, kLine), 27);
  EXPECT_EQ(RowPixel(1, 2, 7), kPanel);
  EXPECT_EQ(RowPixel(1, 117, kH - 7), kPanel);
  EXPECT_EQ(RowPixel(1, 2, kH - 6), kPanel);
  EXPECT_EQ(RowPixel(1, 119, kH - 4), kWhite);
  // The title stands on the panel.
  EXPECT_GT(CountOther(1, {0, 6, 120, kH - 5}, kPanel), 30);
  // The check box glyph and the push button are drawn by the theme.
  RECT glyph = {121, 34, 149, kH - 6};
  EXPECT_GT(CountOther(1, glyph, kWhite), 40);
  RECT buttonEdge = {w - 100, 24, w - 26, 28};
  EXPECT_GT(CountOther(1, buttonEdge, kWhite), 50);
  // Row 2's files move with it: a checked glyph, row 1's unchecked.
  EXPECT_NE(Pixels(1, glyph), Pixels(2, glyph));
  EXPECT_EQ(Pixels(1, glyph), Pixels(3, glyph));
}

TEST_F(FolderListTest, EachRowShowsItsOwnTitleReadStraightFromTheListBox) {
  const RECT panel = {0, 6, 120, kH - 5};
  titleRequests = 0;
  underCounter = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountTitleRequests)));
  Render();
  const auto desktop = Pixels(1, panel);
  const auto documents = Pixels(2, panel);
  EXPECT_NE(desktop, documents);
  EXPECT_NE(desktop, Pixels(3, panel));
  EXPECT_NE(documents, Pixels(3, panel));
  // Row 3 given row 1's title draws what row 1 draws.
  SendMessageA(list(), LB_DELETESTRING, 3, 0);
  SendMessageA(list(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("桌面"));
  Render();
  EXPECT_EQ(Pixels(3, panel), desktop);
  // While a row is drawn its title is asked of the list box itself: through
  // the window's procedures each request costs the thunk's property reads.
  EXPECT_EQ(titleRequests, 0);
  // Asked at any other time, it goes through them.
  rt::OwnedText title(list_->getRowTitle(2));
  EXPECT_STREQ(title.get(), "我的文档");
  EXPECT_EQ(titleRequests, 2);
  SetWindowLongPtrA(list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(underCounter));
}

TEST_F(FolderListTest, InvalidRowShowsItsDirectoryInRed) {
  Render();
  RECT directory = {130, 5, width(), 47};
  EXPECT_GT(CountColor(2, directory, kRed), 20);
  EXPECT_EQ(CountColor(1, directory, kRed), 0);
  EXPECT_GT(CountColor(1, directory, kText), 20);
  // The check box text is never red.
  EXPECT_EQ(CountColor(2, {150, 47, 300, kH - 5}, kRed), 0);
  EXPECT_GT(CountColor(2, {150, 47, 300, kH - 5}, kText), 20);
}

TEST_F(FolderListTest, ButtonCaptionIsTheActionCaptionItWasGiven) {
  const RECT button = {width() - 100, 24, width() - 26, 50};
  const RECT rest = {0, 0, width() - 100, kH};
  Render();
  auto move = Pixels(1, button);
  auto moveRest = Pixels(1, rest);
  list_->setActionCaption("恢复");
  Render();
  auto restore = Pixels(1, button);
  list_->setActionCaption("");
  Render();
  auto blank = Pixels(1, button);
  EXPECT_NE(move, restore);
  EXPECT_NE(move, blank);
  EXPECT_NE(restore, blank);
  // Only the caption changed.
  EXPECT_EQ(moveRest, Pixels(1, rest));
}

TEST_F(FolderListTest, ButtonIsDrawnInTheStateOfItsRow) {
  const RECT button = {width() - 100, 24, width() - 26, 50};
  Render();
  auto normal = Pixels(1, button);
  Mouse(WM_MOUSEMOVE, 1, width() - 60, 37);
  Render();
  auto hot = Pixels(1, button);
  EXPECT_EQ(Pixels(2, button), normal);
  Mouse(WM_LBUTTONDOWN, 1, width() - 60, 37);
  Render();
  auto pressed = Pixels(1, button);
  EXPECT_NE(hot, normal);
  EXPECT_NE(pressed, hot);
  EXPECT_EQ(Pixels(2, button), normal);
  Mouse(WM_LBUTTONUP, 1, width() - 60, 37);
}

TEST_F(FolderListTest, DrawItemOfNoRowPaintsOnlyTheBackground) {
  list_->setBackColor(0x3080C0);
  HDC screen = GetDC(list());
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width(), kH);
  ReleaseDC(list(), screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT all = {0, 0, width(), kH};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_LISTBOX;
  item.itemID = static_cast<UINT>(-1);
  item.itemAction = ODA_FOCUS;
  item.hwndItem = list();
  item.hDC = dc;
  item.rcItem = all;
  EXPECT_EQ(SendMessageA(parent_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
  int other = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < width(); ++x) other += GetPixel(dc, x, y) != 0x3080C0;
  EXPECT_EQ(other, 0);
  // A drawing message of another control is not the list's.
  item.hwndItem = parent_;
  EXPECT_EQ(SendMessageA(parent_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), 0);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(FolderListTest, PaintingLeavesNoGdiObjectBehind) {
  Mouse(WM_MOUSEMOVE, 1, width() - 60, 37);
  Render();
  const int before = GdiObjectCount();
  for (int i = 0; i < 250; ++i) Render();  // four rows each
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(FolderListTest, BackgroundMessagesShareOneBrushOfTheBackColor) {
  HDC dc = GetDC(list());
  auto ask = [&] {
    return reinterpret_cast<HBRUSH>(SendMessageA(parent_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(list())));
  };
  HBRUSH first = ask();
  const int before = GdiObjectCount();
  bool same = true;
  for (int i = 0; i < 10000; ++i) same = same && ask() == first;
  EXPECT_TRUE(same);
  EXPECT_EQ(GdiObjectCount(), before);
  LOGBRUSH brush = {};
  ASSERT_EQ(GetObjectA(first, sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbColor, 0xFFFFFFu);

  // A new colour replaces the brush; the old one is gone.
  list_->setBackColor(0x00FF00);
  HBRUSH second = ask();
  ASSERT_EQ(GetObjectA(second, sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbColor, 0x00FF00u);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(GdiObjectCount(), before);
  ReleaseDC(list(), dc);

  // It goes with the list window.
  DestroyWindow(list());
  EXPECT_EQ(GetObjectType(second), 0u);
  EXPECT_EQ(GdiObjectCount(), before - 1);
}

}  // namespace
}  // namespace korvalin::test
