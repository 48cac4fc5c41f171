// Painting the list: the parent's drawing messages, each row drawn into an
// off-screen bitmap and copied with one BitBlt, fonts and themed parts.
#include "app/list/folder_list.h"
#include "app/list/folder_list_parts.h"
#include "app/list/gdi.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {
namespace {

// The theme class list "BUTTON" as a byte set: UTF-16LE and its zero.
struct WideClassList {
  rt::ByteSetHeader header;
  char16_t text[7];
};
const WideClassList kButtonClass = {{1, sizeof(char16_t) * 7}, u"BUTTON"};

LPCWSTR ButtonClassList() { return reinterpret_cast<LPCWSTR>(kButtonClass.text); }

}  // namespace

LRESULT FolderList::onParentMessage(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    if (!lParam) return 0;
    DRAWITEMSTRUCT item;
    dll::MoveMemoryBlock(&item, reinterpret_cast<const void*>(lParam), sizeof item);
    if (item.hwndItem != handle) return 0;
    paintItem(&item);
    return 1;
  }
  if (message == WM_CTLCOLORLISTBOX) return reinterpret_cast<LRESULT>(backgroundBrush());
  // The list box, destroyed after its parent, sends a WM_DELETEITEM per row
  // to the parent: without the thunk (and its property reads) in the way, a
  // long list closes at once. Nothing the list draws comes after this.
  if (message == WM_DESTROY) folder_list::RemoveThunk(window);
  return 0;
}

HBRUSH FolderList::backgroundBrush() {
  if (backBrush_ && backBrushColor_ == backColor) return backBrush_.get();
  backBrush_.reset(dll::CreateSolidBrush(backColor));
  backBrushColor_ = backColor;
  return backBrush_.get();
}

void FolderList::releaseBackgroundBrush() { backBrush_.reset(); }

HFONT FolderList::makeFont() const {
  return dll::CreateFontA(fontSize, 0, 0, 0, fontBold ? 600 : 400, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                          CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH,
                          fontName ? fontName : "");
}

void FolderList::setFont(const char* name, bool useName, int32_t size, bool useSize, bool bold, bool useBold) {
  if (useName) {
    rt::program::Free(fontName);
    fontName = rt::CopyText(name);
  }
  if (useSize) fontSize = size;
  if (useBold) fontBold = bold;
  if (!drawDC) return;
  HFONT font = makeFont();
  if (!font) return;
  // The font replaced is always one made for this row.
  gdi::PaintObject replaced(dll::SelectObjectPaint(drawDC, font));
}

void FolderList::paintItem(const DRAWITEMSTRUCT* item) {
  const RECT& r = item->rcItem;
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  // Declared in the order they must go: the font and the bitmap leave the
  // DC before they are deleted, and the DC goes last.
  gdi::PaintDC memory(item->hDC);
  gdi::PaintBitmap bitmap(dll::CreateCompatibleBitmap(item->hDC, width, height));
  gdi::PaintSelection bitmapSelected(memory.get(), bitmap.get());
  dll::SetBkMode(memory.get(), TRANSPARENT);
  RECT all = {0, 0, width, height};
  dll::FillRectBackground(memory.get(), &all, backgroundBrush());
  // setFont swaps fonts while the row draws: the one selected at the end
  // is this row's to delete.
  gdi::PaintSelection fontSelected(memory.get(), makeFont(), true);

  int32_t row = static_cast<int32_t>(item->itemID);
  int32_t state = row == selectedRow ? 2 : row == hoverRow ? 1 : 0;
  drawDC = memory.get();
  drawRow(memory.get(), row, width, height, state);
  drawDC = nullptr;

  dll::BitBlt(item->hDC, r.left, r.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

void FolderList::drawThemedPart(HDC dc, int part, int state, const RECT& rect, bool pushButton) {
  // Without visual styles there is no theme and the part is left out.
  if (pushButton) {
    HTHEME theme = dll::OpenThemeDataPushButton(handle, ButtonClassList());
    if (!theme) return;
    dll::DrawThemeBackgroundPushButton(theme, dc, part, state, &rect, nullptr);
    dll::CloseThemeDataPushButton(theme);
    return;
  }
  HTHEME theme = dll::OpenThemeData(handle, ButtonClassList());
  if (!theme) return;
  dll::DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
  dll::CloseThemeData(theme);
}

}  // namespace korvalin
