#include "tests/e2e/row_ink.h"

#include <cstdlib>
#include <vector>

#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

int Grey(DWORD rgb) { return static_cast<int>((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF)) / 3; }

// Antialiased edges may differ a little; a glyph that is not there differs much.
bool Differs(DWORD a, DWORD b) { return std::abs(Grey(a) - Grey(b)) > 48; }

// The text drawn on white in a bitmap of the row's width and height.
std::vector<DWORD> DrawReference(int width, int height, const RECT& box, UINT format, const std::string& text) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
  HFONT font = CreateFontA(18, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                           DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, "微软雅黑");
  HGDIOBJ previousFont = SelectObject(memory, font);
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, 0x494949);
  RECT where = box;
  DrawTextA(memory, text.c_str(), -1, &where, format);
  GdiFlush();
  const auto* source = static_cast<const DWORD*>(bits);
  std::vector<DWORD> pixels(source, source + static_cast<size_t>(width) * height);
  SelectObject(memory, previousFont);
  DeleteObject(font);
  SelectObject(memory, previousBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

int InkMismatch(const KorvalinRun& run, int row, const RECT& area, const RECT& box, UINT format,
                const std::string& text) {
  int width = run.RowWidth(), height = 72;
  std::vector<DWORD> reference = DrawReference(width, height, box, format, text);
  POINT origin = run.RowPoint(row, 0, 0);
  Capture shown = CaptureScreen({origin.x, origin.y, origin.x + width, origin.y + height});
  int mismatch = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Differs(shown.At(x, y), reference[static_cast<size_t>(y) * width + x] & 0xFFFFFF)) ++mismatch;
  return mismatch;
}

}  // namespace korvalin::e2e
