// The owner-drawn folder list: one row per folder rule below a header row.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/value.h"

namespace korvalin {

// One record per list row; every text is owned by the list.
struct FolderRow {
  rt::Text name = nullptr;
  int32_t root = 0;
  rt::Text path = nullptr;
  int32_t moveFiles = 0;
  rt::Text currentDir = nullptr;
};

using RowSelectHandler = void (*)(HWND list, int32_t row);
using RowActionHandler = void (*)(int32_t row);

class FolderList {
 public:
  FolderList();
  virtual ~FolderList() = default;

  // Releases the font name, every record's texts, the records and the array.
  virtual void destroy();

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
};

}  // namespace korvalin
