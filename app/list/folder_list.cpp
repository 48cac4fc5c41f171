#include "app/list/folder_list.h"

#include "app/list/folder_list_parts.h"
#include "image/declared_functions.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

FolderRow CopyRow(const FolderRow& row) {
  return {rt::CopyText(row.name), row.root, rt::CopyText(row.path), row.moveFiles, rt::CopyText(row.currentDir)};
}

}  // namespace

using folder_list::RowAt;

void ReleaseRow(FolderRow& row) {
  rt::program::Free(row.name);
  rt::program::Free(row.path);
  rt::program::Free(row.currentDir);
  row = FolderRow();
}

FolderList::FolderList(FolderList** holder) : fontName(rt::CopyText("微软雅黑")), holder_(holder) {}

void FolderList::destroy() {
  releaseBackgroundBrush();
  rt::program::Free(fontName);
  fontName = nullptr;
  if (!rows) return;
  auto* records = rt::ArrayElements<FolderRow>(rows);
  for (int64_t i = 0; i < rt::ArrayElementCount(rows); ++i) ReleaseRow(records[i]);
  rt::program::Free(rows);
  rows = nullptr;
  rowsCapacity_ = 0;
}

// The copy keeps its own brush; it shares nothing else with this one.
FolderList* FolderList::clone() {
  auto* copy = new FolderList(holder_);
  rt::program::Free(copy->fontName);
  copy->backColor = backColor;
  copy->fontSize = fontSize;
  copy->fontName = rt::CopyText(fontName);
  copy->fontBold = fontBold;
  copy->actionCaption_ = actionCaption_;
  copy->handle = handle;
  copy->listBoxProcedure_ = listBoxProcedure_;
  copy->hoverRow = hoverRow;
  copy->selectedRow = selectedRow;
  copy->pressedRow = pressedRow;
  copy->drawDC = drawDC;
  copy->trackingMouse = trackingMouse;
  copy->selectHandler = selectHandler;
  if (rows) {
    int64_t count = rt::ArrayElementCount(rows);
    copy->rows = rt::NewArray(static_cast<int32_t>(count), sizeof(FolderRow));
    copy->rowsCapacity_ = static_cast<int32_t>(count);
    for (int64_t i = 0; i < count; ++i)
      rt::ArrayElements<FolderRow>(copy->rows)[i] = CopyRow(rt::ArrayElements<FolderRow>(rows)[i]);
  }
  copy->lastRowWidth = lastRowWidth;
  copy->lastRowHeight = lastRowHeight;
  copy->actionHandler = actionHandler;
  copy->hotRow = hotRow;
  copy->buttonState = buttonState;
  return copy;
}

int32_t FolderList::defaultTrue() { return 1; }
FolderList** FolderList::self() { return holder_; }

int32_t FolderList::rowFromPoint(LPARAM point) {
  // The whole result: a point outside every item carries a high word.
  auto row = static_cast<int32_t>(dll::SendMessageItemFromPoint(handle, LB_ITEMFROMPOINT, 0, point));
  if (row == -1) return -1;
  RECT rect = {};
  getRowRect(row, &rect);
  POINT at = {static_cast<int16_t>(LOWORD(point)), static_cast<int16_t>(HIWORD(point))};
  return dll::PtInRectRowHit(&rect, at) ? row : -1;
}

RECT* FolderList::getRowRect(int32_t row, RECT* rect) {
  dll::SendMessageItemRect(handle, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(rect));
  return rect;
}
BOOL FolderList::invalidate(const RECT* rect) { return dll::InvalidateRect(handle, rect, FALSE); }
void FolderList::setSelectHandler(RowSelectHandler handler, bool use) { selectHandler = use ? handler : nullptr; }
int32_t FolderList::getHoverRow() { return hoverRow; }
HWND FolderList::getHandle() { return handle; }
void FolderList::redrawRow(int32_t row) {
  if (row == -1) return;
  RECT rect = {};
  invalidate(getRowRect(row, &rect));
}

int32_t FolderList::setItemHeight(int32_t height, bool apply) {
  if (apply) dll::SendMessageListBox(handle, LB_SETITEMHEIGHT, 0, height);
  return static_cast<int32_t>(dll::SendMessageListBox(handle, LB_GETITEMHEIGHT, 0, 0));
}

void FolderList::reserveRows(int32_t count, int32_t titleBytes) {
  if (titleBytes > 0) dll::SendMessageListBox(handle, LB_INITSTORAGE, count, titleBytes);
  if (rows && count <= rowsCapacity_) return;
  rows = rt::ReserveArray(rows, count, sizeof(FolderRow));
  rowsCapacity_ = count;
}

void FolderList::holdRedraw(bool hold) {
  dll::SendMessageListBox(handle, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  redrawHeld_ = hold;
  if (!hold) invalidate(nullptr);
}

LRESULT FolderList::toListBox(UINT message, WPARAM wParam, LPARAM lParam) {
  return dll::CallWindowProcPastThunk(listBoxProcedure_, handle, message, wParam, lParam);
}

void FolderList::setColumnWidth() { dll::SendMessageListBox(handle, LB_SETCOLUMNWIDTH, 80, 0); }
LRESULT FolderList::getRowData(int32_t row) { return dll::SendMessageListBox(handle, LB_GETITEMDATA, row, 0); }

int32_t FolderList::addRowTitle(const char* title) {
  const auto text = reinterpret_cast<LPARAM>(title ? title : "");
  if (redrawHeld_ && listBoxProcedure_) return static_cast<int32_t>(toListBox(LB_ADDSTRING, 0, text));
  return static_cast<int32_t>(dll::SendMessageA(handle, LB_ADDSTRING, 0, text));
}

void FolderList::setBackColor(COLORREF color) { backColor = color; }
int32_t FolderList::getRowCount() { return static_cast<int32_t>(dll::SendMessageListBox(handle, LB_GETCOUNT, 0, 0)); }
void FolderList::setSelectedRow(int32_t row, bool redraw) {
  selectedRow = row;
  if (redraw) redrawRow(row);
}

rt::Text FolderList::getRowTitle(int32_t row) {
  auto ask = [this, row, straight = drawDC && listBoxProcedure_](UINT message, LPARAM lParam) {
    const auto index = static_cast<WPARAM>(row);
    return straight ? toListBox(message, index, lParam) : dll::SendMessageA(handle, message, index, lParam);
  };
  LRESULT length = ask(LB_GETTEXTLEN, 0);
  if (length <= 0) return nullptr;
  auto* buffer = static_cast<char*>(rt::program::Allocate(static_cast<size_t>(length) + 1));
  buffer[0] = '\0';
  ask(LB_GETTEXT, reinterpret_cast<LPARAM>(buffer));
  buffer[length] = '\0';
  return buffer;
}

HDC FolderList::getDrawDC() { return drawDC; }

FolderRow* FolderList::addRowRecord(const FolderRow& record) {
  const auto count = static_cast<int32_t>(rt::ArrayElementCount(rows));
  if (!rows || count >= rowsCapacity_) reserveRows(count < 4 ? 8 : count * 2, 0);
  rt::SetArrayCount(rows, count + 1);
  FolderRow& stored = rt::ArrayElements<FolderRow>(rows)[count];
  stored = CopyRow(record);
  return &stored;
}

void FolderList::setRowActionHandler(RowActionHandler handler, int32_t) { actionHandler = handler; }

FolderRow FolderList::getRowRecord(int32_t row) { return CopyRow(RowAt(rows, row)); }

const char* FolderList::setRowCurrentDir(int32_t row, const char* text) {
  FolderRow& stored = RowAt(rows, row);
  rt::program::Free(stored.currentDir);
  stored.currentDir = rt::CopyText(text);
  return stored.currentDir;
}

}  // namespace korvalin
