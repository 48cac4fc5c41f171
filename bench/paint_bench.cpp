// Painting: one row through paintItem, all 1,000 rows through paintItem, and
// a repaint of the visible list through WM_PAINT and WM_DRAWITEM.
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/bench_window.h"
#include "bench/benchmarks.h"

namespace korvalin::bench {
namespace {

constexpr int kRows = 1000;

// Draws rows first..last (inclusive) onto the list's own DC.
void PaintRows(FolderList* list, HDC dc, int first, int last) {
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_LISTBOX;
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = list->getHandle();
  item.hDC = dc;
  for (int row = first; row <= last; ++row) {
    item.itemID = static_cast<UINT>(row);
    list->getRowRect(row, &item.rcItem);
    list->paintItem(&item);
  }
}

double MicrosPer(int count, double seconds) { return seconds * 1e6 / count; }

// Where a folder row's time goes: the platform calls it makes, each alone,
// on a memory DC of a row's size.
void RowBreakdown(HWND list) {
  constexpr int kTimes = 500;
  HDC screen = GetDC(list);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kListWidth, 72);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT part = {kListWidth - 100, 24, kListWidth - 26, 50};

  double start = Now();
  for (int i = 0; i < kTimes; ++i) {
    HTHEME theme = OpenThemeData(list, L"BUTTON");
    DrawThemeBackground(theme, dc, BP_PUSHBUTTON, PBS_NORMAL, &part, nullptr);
    CloseThemeData(theme);
  }
  Report("paint", "one themed part (OpenThemeData, DrawThemeBackground, CloseThemeData)",
         MicrosPer(kTimes, Now() - start) / 1000, "ms", "a folder row draws two");

  HTHEME theme = OpenThemeData(list, L"BUTTON");
  start = Now();
  for (int i = 0; i < kTimes; ++i) DrawThemeBackground(theme, dc, BP_PUSHBUTTON, PBS_NORMAL, &part, nullptr);
  Report("paint", "DrawThemeBackground alone, theme kept open", MicrosPer(kTimes, Now() - start) / 1000, "ms");
  start = Now();
  for (int i = 0; i < kTimes; ++i) CloseThemeData(OpenThemeData(list, L"BUTTON"));
  Report("paint", "OpenThemeData + CloseThemeData alone", MicrosPer(kTimes, Now() - start) / 1000, "ms");
  CloseThemeData(theme);

  start = Now();
  for (int i = 0; i < kTimes; ++i) {
    HFONT font = CreateFontA(22, 0, 0, 0, 400, 0, 0, 0, 1, 2, 1, 0, 0x30, "微软雅黑");
    HGDIOBJ old = SelectObject(dc, font);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  Report("paint", "font made, selected and deleted", MicrosPer(kTimes, Now() - start) / 1000, "ms",
         "a folder row makes four");
  HFONT font = CreateFontA(22, 0, 0, 0, 400, 0, 0, 0, 1, 2, 1, 0, 0x30, "微软雅黑");
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT text = {130, 5, kListWidth, 47};
  start = Now();
  for (int i = 0; i < kTimes; ++i) DrawTextA(dc, "当前目录：C:\\users\\Public\\Desktop", -1, &text, DT_SINGLELINE);
  Report("paint", "DrawTextA of a directory line", MicrosPer(kTimes, Now() - start) / 1000, "ms",
         "a folder row draws five texts");
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(list, screen);
}

}  // namespace

void RepaintList(HWND list) { RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

int MoveOverRows(FolderList* list, int moves) {
  RECT client;
  GetClientRect(list->getHandle(), &client);
  int hovered = 0;
  for (int i = 0; i < moves; ++i) {
    const int row = i % 10;
    const int x = (i / 10) % 2 ? client.right - 60 : 120;  // button area, then title area
    SendMessageA(list->getHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, row * 72 + 36));
    if (list->getHoverRow() == row) ++hovered;
    UpdateWindow(list->getHandle());
    Pump();
  }
  return hovered;
}

int RunPaintBenchmarks() {
  FolderList* list = nullptr;
  ListWindow window(&list);
  window.addRows(kRows);
  RepaintList(window.handle());
  // The item DC: a memory DC as tall as all rows, so every row lands in it
  // and the X server is not involved; the window DC only for comparison.
  HDC screen = GetDC(window.handle());
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, kListWidth, 72 * 40);
  HGDIOBJ oldTarget = SelectObject(dc, target);
  PaintRows(list, dc, 0, kRows);  // binds the drawing functions

  std::vector<double> rowSamples, allSamples;
  for (int pass = 0; pass < 5; ++pass) {
    double start = Now();
    PaintRows(list, dc, 1, kRows);
    allSamples.push_back(Now() - start);
  }
  const double all = Median(allSamples);
  Report("paint", "paintItem, one folder row", all * 1000 / kRows, "ms", "target < 1 ms; mean over 1,000 rows");
  Report("paint", "paintItem, all 1,000 folder rows", all * 1000, "ms", "median of 5");
  for (int pass = 0; pass < 200; ++pass) {
    double start = Now();
    PaintRows(list, dc, 0, 0);
    rowSamples.push_back(Now() - start);
  }
  Report("paint", "paintItem, header row", Median(rowSamples) * 1000, "ms", "median of 200");
  double start = Now();
  PaintRows(list, screen, 1, 100);
  Report("paint", "paintItem, one folder row onto the window DC", (Now() - start) * 10, "ms",
         "mean over 100 rows; each BitBlt reaches the X server");
  SelectObject(dc, oldTarget);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(window.handle(), screen);
  RowBreakdown(window.handle());

  std::vector<double> repaint;
  for (int pass = 0; pass < 200; ++pass) {
    double start = Now();
    RepaintList(window.handle());
    repaint.push_back(Now() - start);
  }
  Report("paint", "repaint of the visible list (10 rows, WM_PAINT)", Median(repaint) * 1000, "ms", "median of 200");
  return 0;
}

}  // namespace korvalin::bench
