// What a row looks like: the header with the product, its description, the
// credit and the link; a folder row with its title panel, directory, check
// box and action button.
#include "app/list/folder_list.h"
#include "app/list/folder_list_parts.h"
#include "app/list/gdi.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {
namespace {

constexpr char kFaceYaHei[] = "微软雅黑";
constexpr char kFaceSong[] = "宋体";
constexpr COLORREF kPanelColor = 0xF7F6F5;
constexpr COLORREF kLineColor = 0xDCDBDA;
constexpr COLORREF kTitleColor = 0xB46600;
constexpr COLORREF kDescriptionColor = 0x727272;
constexpr COLORREF kCreditColor = 0xE6A464;
constexpr COLORREF kTextColor = 0x494949;
constexpr COLORREF kInvalidColor = 0x0000FF;

constexpr char kProductName[] = "Korvalin";
constexpr char kDescription[] =
    "一款可以备份、修改系统文件目录的迁移修改工具！避免重装系统时 桌面、文档、下载等存在系统盘目录文件丢失的尴尬局面.....";
constexpr char kCredit[] = " Tovrin";
constexpr char kDirectoryPrefix[] = "当前目录：";
constexpr char kMoveFilesText[] = "是否同时迁移文件";

// Theme parts and states of the class "BUTTON".
constexpr int kPartPushButton = 1;
constexpr int kPartCheckBox = 3;
constexpr int kCheckBoxUnchecked = 1;
constexpr int kCheckBoxChecked = 5;
constexpr int kButtonNormal = 1;
constexpr int kButtonPressed = 3;

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

void FillArea(HDC dc, RECT rect, COLORREF color) {
  gdi::RowBrush brush(dll::CreateSolidBrushRowArea(color));
  dll::FillRect(dc, &rect, brush.get());
}

struct Line {
  int x1, y1, x2, y2;
};

void DrawLines(HDC dc, std::initializer_list<Line> lines) {
  gdi::RowPen pen(dll::CreatePen(PS_SOLID, 1, kLineColor));
  gdi::RowSelection selected(dc, pen.get());
  for (const Line& line : lines) {
    dll::MoveToEx(dc, line.x1, line.y1, nullptr);
    dll::LineTo(dc, line.x2, line.y2);
  }
}

void DrawText(HDC dc, const char* text, RECT rect, UINT format) {
  dll::DrawTextA(dc, text ? text : "", -1, &rect, format);
}

}  // namespace

int32_t FolderList::drawRow(HDC dc, int32_t row, int32_t width, int32_t height, int32_t) {
  if (row == 0) drawHeader(dc, width, height);
  if (row >= 1) drawFolderRow(dc, row, width, height);
  return 0;
}

void FolderList::drawHeader(HDC dc, int32_t w, int32_t h) {
  FillArea(dc, {0, 0, w, h}, kPanelColor);
  dll::SetTextColor(dc, kTitleColor);
  setFont(kFaceYaHei, true, 26, true, false, false);
  DrawText(dc, kProductName, {26, 6, w, h}, 0);
  dll::SetTextColor(dc, kDescriptionColor);
  setFont(kFaceSong, true, 12, true, false, false);
  DrawText(dc, kDescription, {26, 38, w, h}, DT_WORDBREAK);
  dll::SetTextColor(dc, kCreditColor);
  DrawText(dc, kCredit, {190, 16, w, h}, DT_SINGLELINE);
  DrawText(dc, folder_list::kLinkText, {w - 100, 6, w, 30}, 0);
  DrawLines(dc, {{5, h - 1, w, h - 1}});
}

void FolderList::drawFolderRow(HDC dc, int32_t row, int32_t w, int32_t h) {
  setFont(kFaceYaHei, true, 18, true, false, false);
  FillArea(dc, {0, 5, folder_list::kTitlePanelWidth, h - 5}, kPanelColor);
  DrawLines(dc, {{0, 5, w, 5}, {5, h - 5, w, h - 5}, {120, 5, 120, h - 5}});

  dll::SetTextColor(dc, kTitleColor);
  setFont(nullptr, false, 22, true, false, false);
  rt::OwnedText title(getRowTitle(row));
  DrawText(dc, title.get(), {0, 0, folder_list::kTitlePanelWidth, h}, kCentred);

  const FolderRow& record = folder_list::RowAt(rows, row);
  setFont(nullptr, false, 18, true, false, false);
  dll::SetTextColor(dc, record.root == -1 ? kInvalidColor : kTextColor);
  rt::OwnedText directory(rt::ConcatTexts({kDirectoryPrefix, record.currentDir}));
  DrawText(dc, directory.get(), {130, 5, w, 47}, DT_VCENTER | DT_SINGLELINE);

  dll::SetTextColor(dc, kTextColor);
  DrawText(dc, kMoveFilesText, {150, 33, w, 72}, DT_VCENTER | DT_SINGLELINE);
  drawThemedPart(dc, kPartCheckBox, record.moveFiles ? kCheckBoxChecked : kCheckBoxUnchecked, {120, 33, 160, h},
                 false);

  RECT button = folder_list::ButtonArea(w);
  int state = row == hotRow ? buttonState : kButtonNormal;
  drawThemedPart(dc, kPartPushButton, state, button, true);
  if (row == hotRow && buttonState == kButtonPressed) dll::OffsetRect(&button, 1, 1);
  DrawText(dc, actionCaption_.c_str(), button, kCentred);

  lastRowWidth = w;
  lastRowHeight = h;
}

}  // namespace korvalin
