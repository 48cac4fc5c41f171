// The owner-drawn folder list: one row per folder rule below a header row.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/list/folder_row.h"
#include "app/list/gdi.h"
#include "runtime/values/value.h"

namespace korvalin {

using RowSelectHandler = void (*)(HWND list, int32_t row);
using RowActionHandler = void (*)(int32_t row);

// The window-procedure thunk finds an operation by its slot in the table of
// operations, so the operations stay in this order and the class has no
// other virtual function (no virtual destructor: destroy releases).
class FolderList final {
 public:
  // holder: the variable through which the program reaches the object; the
  // thunk keeps it as the object reference.
  explicit FolderList(FolderList** holder);

  virtual void destroy();
  virtual FolderList* clone();
  virtual LRESULT filterListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT onParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT onListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual int32_t onRowMouse(int32_t row, UINT message, WPARAM wParam, LPARAM rowPoint);
  virtual int32_t defaultTrue();
  virtual LRESULT onLButtonDown(WPARAM wParam, LPARAM lParam);
  virtual LRESULT onMouseLeave(WPARAM wParam, LPARAM lParam);
  virtual LRESULT onLButtonUp(WPARAM wParam, LPARAM lParam);
  virtual LRESULT onMouseMove(WPARAM wParam, LPARAM lParam);
  virtual int32_t drawRow(HDC dc, int32_t row, int32_t width, int32_t height, int32_t state);
  virtual void paintItem(const DRAWITEMSTRUCT* item);
  virtual int32_t create(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t borderStyle,
                         int32_t reserved, int32_t extraStyle, bool useExtraStyle);
  virtual FolderList** self();
  virtual int32_t rowFromPoint(LPARAM point);
  virtual RECT* getRowRect(int32_t row, RECT* rect);
  virtual BOOL invalidate(const RECT* rect);
  virtual void setSelectHandler(RowSelectHandler handler, bool use);
  virtual int32_t getHoverRow();
  virtual HWND getHandle();
  virtual void redrawRow(int32_t row);
  virtual int32_t setItemHeight(int32_t height, bool apply);
  virtual void setColumnWidth();
  virtual LRESULT getRowData(int32_t row);
  virtual int32_t addRowTitle(const char* title);
  virtual void setBackColor(COLORREF color);
  virtual int32_t getRowCount();
  virtual void setSelectedRow(int32_t row, bool redraw);
  // A new text the caller frees.
  virtual rt::Text getRowTitle(int32_t row);
  virtual void setFont(const char* name, bool useName, int32_t size, bool useSize, bool bold, bool useBold);
  virtual HDC getDrawDC();
  // Stores a deep copy at the end of rows and returns it.
  virtual FolderRow* addRowRecord(const FolderRow& record);
  virtual void setRowActionHandler(RowActionHandler handler, int32_t reserved);
  // A deep copy the caller releases with ReleaseRow; an index outside rows
  // is the array-index runtime error.
  virtual FolderRow getRowRecord(int32_t row);
  // Stores a copy of the text as the row's currentDir and returns it.
  virtual const char* setRowCurrentDir(int32_t row, const char* text);

  COLORREF backColor = 0xFFFFFF;
  int32_t fontSize = 20;
  rt::Text fontName = nullptr;
  bool fontBold = false;
  HWND handle = nullptr;
  int32_t hoverRow = -1;
  int32_t selectedRow = -1;
  int32_t pressedRow = 0;
  HDC drawDC = nullptr;
  bool trackingMouse = false;
  RowSelectHandler selectHandler = nullptr;
  void* rows = nullptr;  // array value of FolderRow records
  int32_t lastRowWidth = 0;
  int32_t lastRowHeight = 0;
  RowActionHandler actionHandler = nullptr;
  int32_t hotRow = 0;
  int32_t buttonState = 0;

  // While held, added rows are not drawn one by one: a visible list box
  // repaints on every row added, which makes a long rule set slow to load.
  // Releasing redraws the whole list once.
  void holdRedraw(bool hold);
  // Room for `count` rows in the records and, with titleBytes, in the list
  // box's strings, made once before a long rule set is added.
  void reserveRows(int32_t count, int32_t titleBytes);
  // The rows' button caption: what the owner's mode makes of a row.
  void setActionCaption(const char* caption) { actionCaption_ = caption ? caption : ""; }

 private:
  // One brush for backColor, made when first needed and kept until the
  // colour changes or the list goes; a brush per message would leak.
  HBRUSH backgroundBrush();
  void releaseBackgroundBrush();
  HFONT makeFont() const;
  void drawHeader(HDC dc, int32_t width, int32_t height);
  void drawFolderRow(HDC dc, int32_t row, int32_t width, int32_t height);
  void drawThemedPart(HDC dc, int part, int state, const RECT& rect, bool pushButton);
  void pressRow(int32_t row, POINT point, POINT signedPoint);
  void moveOverButton(int32_t row, POINT point);
  void releaseButton(int32_t row, POINT point);
  LPARAM rowPoint(int32_t row, LPARAM lParam);

  FolderList** holder_;
  gdi::PaintBrush backBrush_;
  int32_t rowsCapacity_ = 0;  // records the rows array has room for
  // onListMessage passes the list box's own messages on untouched, so while
  // a load holds the redraw and while a row is drawn they go straight to the
  // list box's procedure: through the thunk each costs three property reads,
  // each a round trip to the Wine server under Wine.
  LRESULT toListBox(UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC listBoxProcedure_ = nullptr;  // the list box's own, behind the thunk
  bool redrawHeld_ = false;
  COLORREF backBrushColor_ = 0;
  std::string actionCaption_;
};

// The window procedure every thunked window of a FolderList carries.
LRESULT CALLBACK FolderListThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Frees the texts of a record obtained from getRowRecord.
void ReleaseRow(FolderRow& row);

}  // namespace korvalin
