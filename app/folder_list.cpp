#include "app/folder_list.h"

#include "image/declared_functions.h"
#include "runtime/program_calls.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

FolderRow CopyRow(const FolderRow& row) {
  return {rt::CopyText(row.name), row.root, rt::CopyText(row.path), row.moveFiles, rt::CopyText(row.currentDir)};
}

FolderRow& RowAt(void* rows, int32_t row) {
  return rt::ArrayElements<FolderRow>(rows)[rt::CheckSubscript(rows, static_cast<int64_t>(row) + 1)];
}

}  // namespace

void ReleaseRow(FolderRow& row) {
  rt::program::Free(row.name);
  rt::program::Free(row.path);
  rt::program::Free(row.currentDir);
  row = FolderRow();
}

FolderList::FolderList(FolderList** holder) : fontName(rt::CopyText("微软雅黑")), holder_(holder) {}

void FolderList::destroy() {
  rt::program::Free(fontName);
  fontName = nullptr;
  if (!rows) return;
  auto* records = rt::ArrayElements<FolderRow>(rows);
  for (int64_t i = 0; i < rt::ArrayElementCount(rows); ++i) ReleaseRow(records[i]);
  rt::program::Free(rows);
  rows = nullptr;
}

FolderList* FolderList::clone() { return nullptr; }
LRESULT FolderList::filterListMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT FolderList::onParentMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT FolderList::onListMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
int32_t FolderList::onRowMouse(int32_t, UINT, WPARAM, LPARAM) { return 0; }
int32_t FolderList::defaultTrue() { return 1; }
LRESULT FolderList::onLButtonDown(WPARAM, LPARAM) { return 0; }
LRESULT FolderList::onMouseLeave(WPARAM, LPARAM) { return 0; }
LRESULT FolderList::onLButtonUp(WPARAM, LPARAM) { return 0; }
LRESULT FolderList::onMouseMove(WPARAM, LPARAM) { return 0; }
int32_t FolderList::drawRow(HDC, int32_t, int32_t, int32_t, int32_t) { return 0; }
void FolderList::paintItem(const DRAWITEMSTRUCT*) {}

int32_t FolderList::create(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t,
                           int32_t, int32_t extraStyle, bool useExtraStyle) {
  if (handle && dll::IsWindow(handle)) return 1;
  if (!dll::IsWindow(parent)) return 0;
  DWORD style = 0x50200111 | (useExtraStyle ? static_cast<DWORD>(extraStyle) : 0);
  handle = dll::CreateWindowExA(0, "ListBox", nullptr, style, x, y, width, height, parent, nullptr,
                                dll::GetModuleHandleA_64(nullptr), nullptr);
  return handle ? 1 : 0;
}

FolderList** FolderList::self() { return holder_; }
int32_t FolderList::rowFromPoint(LPARAM) { return -1; }
RECT* FolderList::getRowRect(int32_t row, RECT* rect) {
  dll::SendMessageA_70(handle, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(rect));
  return rect;
}
BOOL FolderList::invalidate(const RECT* rect) { return dll::InvalidateRect(handle, rect, FALSE); }
void FolderList::setSelectHandler(RowSelectHandler handler, bool use) { selectHandler = use ? handler : nullptr; }
int32_t FolderList::getHoverRow() { return hoverRow; }
HWND FolderList::getHandle() { return handle; }
void FolderList::redrawRow(int32_t) {}

int32_t FolderList::setItemHeight(int32_t height, bool apply) {
  if (apply) dll::SendMessageA_50(handle, LB_SETITEMHEIGHT, 0, height);
  return static_cast<int32_t>(dll::SendMessageA_50(handle, LB_GETITEMHEIGHT, 0, 0));
}

void FolderList::setColumnWidth() { dll::SendMessageA_50(handle, LB_SETCOLUMNWIDTH, 80, 0); }
LRESULT FolderList::getRowData(int32_t row) { return dll::SendMessageA_50(handle, LB_GETITEMDATA, row, 0); }

int32_t FolderList::addRowTitle(const char* title) {
  return static_cast<int32_t>(dll::SendMessageA(handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title ? title : "")));
}

void FolderList::setBackColor(COLORREF color) { backColor = color; }
int32_t FolderList::getRowCount() { return static_cast<int32_t>(dll::SendMessageA_50(handle, LB_GETCOUNT, 0, 0)); }
void FolderList::setSelectedRow(int32_t row, bool) { selectedRow = row; }

rt::Text FolderList::getRowTitle(int32_t row) {
  LRESULT length = dll::SendMessageA(handle, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length <= 0) return nullptr;
  auto* buffer = static_cast<char*>(rt::program::Allocate(static_cast<size_t>(length) + 1));
  buffer[0] = '\0';
  dll::SendMessageA(handle, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer));
  buffer[length] = '\0';
  return buffer;
}

void FolderList::setFont(const char* name, bool useName, int32_t size, bool useSize, bool bold, bool useBold) {
  if (useName) {
    rt::program::Free(fontName);
    fontName = rt::CopyText(name);
  }
  if (useSize) fontSize = size;
  if (useBold) fontBold = bold;
}

HDC FolderList::getDrawDC() { return drawDC; }

FolderRow* FolderList::addRowRecord(const FolderRow& record) {
  int64_t count = rt::ArrayElementCount(rows);
  void* grown = rt::NewArray(static_cast<int32_t>(count + 1), sizeof(FolderRow));
  if (count > 0) std::memcpy(rt::ArrayElements<FolderRow>(grown), rt::ArrayElements<FolderRow>(rows), count * sizeof(FolderRow));
  rt::program::Free(rows);
  rows = grown;
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
