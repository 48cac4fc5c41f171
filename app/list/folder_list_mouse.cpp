// The list's mouse: hover tracking, the rows' click areas and the action
// button, which belongs to one row at a time (1 normal, 2 hot, 3 pressed).
#include "app/list/folder_list.h"
#include "app/list/folder_list_parts.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {
namespace {

constexpr int32_t kButtonNormal = 1;
constexpr int32_t kButtonHot = 2;
constexpr int32_t kButtonPressed = 3;

}  // namespace

using folder_list::RowAt;

LRESULT FolderList::filterListMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

LRESULT FolderList::onListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT filtered = filterListMessage(window, message, wParam, lParam)) return filtered;
  switch (message) {
    case WM_MOUSEMOVE: return onMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN: return onLButtonDown(wParam, lParam);
    case WM_LBUTTONUP: return onLButtonUp(wParam, lParam);
    case WM_MOUSELEAVE: return onMouseLeave(wParam, lParam);
    case WM_DESTROY:
      // The brush goes with the list window; the list box still sees the message.
      releaseBackgroundBrush();
      return 0;
    default: return 0;
  }
}

// The point relative to the row's top-left corner, packed as in lParam.
LPARAM FolderList::rowPoint(int32_t row, LPARAM lParam) {
  RECT rect = {};
  getRowRect(row, &rect);
  auto x = static_cast<WORD>(LOWORD(lParam) - rect.left);
  auto y = static_cast<WORD>(HIWORD(lParam) - rect.top);
  return static_cast<LPARAM>(MAKELONG(x, y));
}

LRESULT FolderList::onMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!trackingMouse) {
    TRACKMOUSEEVENT request = {sizeof request, TME_HOVER | TME_LEAVE, handle, 0};
    if (dll::TrackMouseEvent(&request)) trackingMouse = true;
  }
  int32_t row = rowFromPoint(lParam);
  if (row != hoverRow) {
    redrawRow(row);
    redrawRow(hoverRow);
    hoverRow = row;
  }
  onRowMouse(row, WM_MOUSEMOVE, wParam, rowPoint(row, lParam));
  return dll::DefWindowProcA(handle, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT FolderList::onLButtonDown(WPARAM wParam, LPARAM lParam) {
  int32_t row = rowFromPoint(lParam);
  pressedRow = row;
  onRowMouse(row, WM_LBUTTONDOWN, wParam, rowPoint(row, lParam));
  return dll::DefWindowProcA(handle, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT FolderList::onLButtonUp(WPARAM wParam, LPARAM lParam) {
  int32_t row = rowFromPoint(lParam);
  onRowMouse(row, WM_LBUTTONUP, wParam, rowPoint(row, lParam));
  if (row != -1 && pressedRow == row && selectedRow != pressedRow) {
    int32_t old = selectedRow;
    selectedRow = pressedRow;
    pressedRow = -1;
    redrawRow(old);
    redrawRow(selectedRow);
    if (folder_list::IsCallable(reinterpret_cast<const void*>(selectHandler))) selectHandler(handle, row);
  }
  return dll::DefWindowProcA(handle, WM_LBUTTONUP, wParam, lParam);
}

LRESULT FolderList::onMouseLeave(WPARAM wParam, LPARAM lParam) {
  int32_t old = hoverRow;
  hoverRow = -1;
  trackingMouse = false;
  redrawRow(old);
  return dll::DefWindowProcA(handle, WM_MOUSELEAVE, wParam, lParam);
}

int32_t FolderList::onRowMouse(int32_t row, UINT message, WPARAM, LPARAM rowPointValue) {
  // x unsigned for the areas, signed where it is compared with a bound.
  auto packed = static_cast<DWORD>(rowPointValue);
  POINT point = {LOWORD(packed), static_cast<int16_t>(HIWORD(packed))};
  POINT signedPoint = {static_cast<int16_t>(LOWORD(packed)), point.y};
  if (row == 0) {
    if (message == WM_LBUTTONDOWN) {
      RECT link = folder_list::LinkArea(lastRowWidth);
      if (dll::PtInRect(&link, point)) dll::ShellExecuteA(nullptr, "open", folder_list::kLinkAddress, "", "", SW_SHOWNORMAL);
    }
    // A press held on a button and let go over the header must not stay
    // pressed: the next release over that button would run its action.
    if (message == WM_LBUTTONUP) releaseButton(row, point);
    return 0;
  }
  switch (message) {
    case WM_MOUSEMOVE: moveOverButton(row, point); break;
    case WM_LBUTTONDOWN: pressRow(row, point, signedPoint); break;
    case WM_LBUTTONUP: releaseButton(row, point); break;
    default: break;
  }
  return 0;
}

void FolderList::pressRow(int32_t row, POINT point, POINT signedPoint) {
  if (row >= 1) {
    RECT checkText = folder_list::CheckTextArea(lastRowHeight);
    if (dll::PtInRect(&checkText, point)) {
      FolderRow& record = RowAt(rows, row);
      record.moveFiles = record.moveFiles ? 0 : 1;
      redrawRow(row);
    }
    if (signedPoint.x < folder_list::kTitlePanelWidth) {
      rt::Text line = rt::ConcatTexts({"explorer.exe ", RowAt(rows, row).currentDir});
      rt::cmd::RunCommandLine(line, false);
      rt::program::Free(line);
    }
  }
  if (row == hotRow && buttonState == kButtonHot) {
    buttonState = kButtonPressed;
    redrawRow(hotRow);
    dll::SetCapture(handle);
  }
}

void FolderList::moveOverButton(int32_t row, POINT point) {
  if (buttonState == kButtonPressed) return;
  hotRow = row;
  RECT button = folder_list::ButtonArea(lastRowWidth);
  int32_t state = dll::PtInRect(&button, point) ? kButtonHot : kButtonNormal;
  if (state == buttonState) return;
  buttonState = state;
  redrawRow(hotRow);
}

void FolderList::releaseButton(int32_t row, POINT point) {
  dll::ReleaseCapture();
  if (row != hotRow) {
    buttonState = kButtonNormal;
    redrawRow(hotRow);
    hotRow = 0;
    return;
  }
  if (buttonState != kButtonPressed) return;
  buttonState = kButtonHot;
  redrawRow(hotRow);
  RECT button = folder_list::ButtonArea(lastRowWidth);
  if (dll::PtInRect(&button, point) && folder_list::IsCallable(reinterpret_cast<const void*>(actionHandler)))
    actionHandler(hotRow);
}

}  // namespace korvalin
