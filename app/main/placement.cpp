#include "app/main/placement.h"

#include "app/main/globals.h"
#include "app/main/placement_file.h"
#include "image/declared_functions.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {
namespace {

constexpr LONG kMinimumWidth = 520;
constexpr LONG kMinimumHeight = 330;

WNDPROC previousProcedure = nullptr;

RECT RectOf(const SavedPlacement& p) { return {p.left, p.top, p.left + p.width, p.top + p.height}; }

// A placement saved on a monitor that is gone would put the window out of
// reach.
bool LiesOnAMonitor(const SavedPlacement& p) {
  if (p.width <= 0 || p.height <= 0) return false;
  RECT rect = RectOf(p);
  return dll::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

SavedPlacement CurrentPlacement() {
  using rt::program::ReadUnitInt;
  return {ReadUnitInt(kMainWindow, rt::program::kPropertyLeft), ReadUnitInt(kMainWindow, rt::program::kPropertyTop),
          ReadUnitInt(kMainWindow, rt::program::kPropertyWidth),
          ReadUnitInt(kMainWindow, rt::program::kPropertyHeight)};
}

// The normal rectangle is measured from the work area of its monitor.
SavedPlacement NormalPlacement(const WINDOWPLACEMENT& placement) {
  RECT r = placement.rcNormalPosition;
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (dll::GetMonitorInfoA(dll::MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &info)) {
    LONG dx = info.rcWork.left - info.rcMonitor.left;
    LONG dy = info.rcWork.top - info.rcMonitor.top;
    return {r.left + dx, r.top + dy, r.right - r.left, r.bottom - r.top};
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A minimised or maximised window is saved at its restored place.
void SavePlacement(HWND window) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  bool notNormal = dll::GetWindowPlacement(window, &placement) &&
                   (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_SHOWMAXIMIZED);
  WritePlacementFile(notNormal ? NormalPlacement(placement) : CurrentPlacement());
}

void FitListToClient() {
  HWND list = folderList ? folderList->getHandle() : nullptr;
  if (!list) return;  // the list is created just after the hook
  dll::MoveWindow(list, 0, 0, rt::cmd::ClientWidth(kMainWindow), rt::cmd::ClientHeight(kMainWindow), TRUE);
}

void SetMinimumSize(LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (dll::IsBadWritePtr(info, sizeof *info)) return;
  info->ptMinTrackSize.x = kMinimumWidth;
  info->ptMinTrackSize.y = kMinimumHeight;
}

}  // namespace

void RestoreWindowPlacement(HWND window) {
  if (std::optional<SavedPlacement> saved = ReadPlacementFile(); saved && LiesOnAMonitor(*saved)) {
    rt::cmd::MoveUnit(kMainWindow, saved->left, saved->top, saved->width, saved->height);
  }
  previousProcedure = reinterpret_cast<WNDPROC>(
      dll::SetWindowLongA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindowHook)));
}

LRESULT CALLBACK MainWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FitListToClient(); break;
    case WM_GETMINMAXINFO: SetMinimumSize(lParam); break;
    case WM_CLOSE: SavePlacement(window); break;
    default: break;
  }
  return dll::CallWindowProcA(previousProcedure, window, message, wParam, lParam);
}

}  // namespace korvalin
