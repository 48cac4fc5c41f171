// The list's window-procedure thunk and its mouse: real messages to a real
// list window and its parent, the object reached through its table.
#include "tests/app/list/folder_list_fixture.h"

#include "runtime/interface/program_calls.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

HBRUSH AskBackground(HWND parent, HWND list) {
  HDC dc = GetDC(list);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)));
  ReleaseDC(list, dc);
  return brush;
}

TEST_F(FolderListTest, ThunkHandsEachWindowsMessagesToItsOperation) {
  // The parent's messages reach onParentMessage: the background is answered
  // there and never reaches the parent's own procedure.
  EXPECT_NE(AskBackground(parent_, list()), nullptr);
  EXPECT_FALSE(ParentMessages().saw(WM_CTLCOLORLISTBOX));
  // What the object does not answer goes on to the previous procedure.
  SendMessageA(parent_, WM_USER + 7, 0, 0);
  EXPECT_TRUE(ParentMessages().saw(WM_USER + 7));
  // The list's messages reach onListMessage, and the list box still works.
  Mouse(WM_MOUSEMOVE, 2, 10, 10);
  EXPECT_EQ(list_->getHoverRow(), 2);
  EXPECT_EQ(SendMessageA(list(), LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(GetPropA(list(), "_This"), reinterpret_cast<HANDLE>(&list_));
  EXPECT_EQ(GetPropA(parent_, "_This"), reinterpret_cast<HANDLE>(&list_));
}

TEST_F(FolderListTest, ThunkWithoutTheObjectPassesEverythingOn) {
  // Once the program has let go of the object, both windows fall through
  // to their previous procedures.
  FolderList* saved = list_;
  list_ = nullptr;
  ParentMessages().messages.clear();
  HWND listWindow = saved->getHandle();
  AskBackground(parent_, listWindow);
  EXPECT_TRUE(ParentMessages().saw(WM_CTLCOLORLISTBOX));
  EXPECT_EQ(SendMessageA(listWindow, LB_GETCOUNT, 0, 0), 4);
  list_ = saved;
}

TEST_F(FolderListTest, ThunkSkipsAnUnreadableReference) {
  KORVALIN_SKIP_WHERE_BAD_POINTER_FAULTS_ARE_EMULATED();
  // An address that is no longer mapped, as a reference and as an object.
  void* gone = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(gone, nullptr);
  VirtualFree(gone, 0, MEM_RELEASE);
  static FolderList* dangling = nullptr;
  dangling = static_cast<FolderList*>(gone);
  for (HANDLE reference : {static_cast<HANDLE>(gone), reinterpret_cast<HANDLE>(&dangling)}) {
    SetPropA(list(), "_This", reference);
    SetPropA(parent_, "_This", reference);
    ParentMessages().messages.clear();
    AskBackground(parent_, list());
    EXPECT_TRUE(ParentMessages().saw(WM_CTLCOLORLISTBOX));
    EXPECT_EQ(SendMessageA(list(), LB_GETCOUNT, 0, 0), 4);
    Mouse(WM_MOUSEMOVE, 2, 10, 10);
    EXPECT_EQ(list_->getHoverRow(), -1);
  }
  SetPropA(list(), "_This", reinterpret_cast<HANDLE>(&list_));
  SetPropA(parent_, "_This", reinterpret_cast<HANDLE>(&list_));
  Mouse(WM_MOUSEMOVE, 2, 10, 10);
  EXPECT_EQ(list_->getHoverRow(), 2);
}

TEST(FolderListThunk, WindowWithoutPreviousProcedureGetsTheDefault) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FolderListThunk;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KorvalinBareThunk";
  ASSERT_TRUE(RegisterClassA(&wc));
  HWND window = CreateWindowExA(0, "KorvalinBareThunk", "first", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "first");
  SetWindowTextA(window, "second");
  EXPECT_EQ(WindowText(window), "second");
  DestroyWindow(window);
  UnregisterClassA("KorvalinBareThunk", GetModuleHandleA(nullptr));
}

TEST_F(FolderListTest, CreateTwiceMakesOneWindow) {
  HWND first = list();
  EXPECT_EQ(list_->create(parent_, 0, 0, 100, 100, 1, 0, 0, false), 1);
  EXPECT_EQ(list(), first);
  int children = 0;
  EnumChildWindows(parent_, CountChild, reinterpret_cast<LPARAM>(&children));
  EXPECT_EQ(children, 1);
  // The list keeps its style: owner-drawn, fixed rows, strings, no border.
  const DWORD style = WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(first, GWL_STYLE)) & style, style);
  EXPECT_EQ(GetWindowLongA(first, GWL_STYLE) & WS_BORDER, 0);
  EXPECT_EQ(GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

  // Not a window: no list.
  FolderList* other = new FolderList(&other);
  EXPECT_EQ(other->create(reinterpret_cast<HWND>(0x1234), 0, 0, 10, 10, 0, 0, 0, false), 0);
  EXPECT_EQ(other->getHandle(), nullptr);
  other->destroy();
  delete other;
}

TEST_F(FolderListTest, RowFromPointIsARowOnlyInsideIt) {
  EXPECT_EQ(list_->rowFromPoint(At(0, 5, 5)), 0);
  EXPECT_EQ(list_->rowFromPoint(At(2, 300, 71)), 2);
  EXPECT_EQ(list_->rowFromPoint(At(3, 300, 71)), 3);
  // Below the last row, and outside the window.
  EXPECT_EQ(list_->rowFromPoint(At(3, 300, 72)), -1);
  EXPECT_EQ(list_->rowFromPoint(MAKELPARAM(10, kListHeight - 2)), -1);
  EXPECT_EQ(list_->rowFromPoint(MAKELPARAM(-5, 10)), -1);
}

TEST_F(FolderListTest, HoverRedrawsTheRowsItEntersAndLeaves) {
  Mouse(WM_MOUSEMOVE, 1, 300, 10);
  EXPECT_EQ(InvalidRows(), (std::set<int>{1}));
  Validate();
  Mouse(WM_MOUSEMOVE, 1, 310, 12);
  EXPECT_EQ(InvalidRows(), (std::set<int>{}));
  Mouse(WM_MOUSEMOVE, 2, 300, 10);
  EXPECT_EQ(InvalidRows(), (std::set<int>{1, 2}));
  EXPECT_EQ(list_->getHoverRow(), 2);
  Validate();
  // Leaving the list redraws the last hovered row only.
  ASSERT_TRUE(PostMessageA(list(), WM_MOUSELEAVE, 0, 0));
  PumpMouse();
  EXPECT_EQ(InvalidRows(), (std::set<int>{2}));
  EXPECT_EQ(list_->getHoverRow(), -1);
}

class ButtonTest : public FolderListTest {
 protected:
  void SetUp() override {
    FolderListTest::SetUp();
    Render();  // the button's place comes from the rows drawn
  }
  int bx() const { return width() - 60; }
  static constexpr int kBy = 37;
};

TEST_F(ButtonTest, PressAndReleaseInsideRunsTheActionOnce) {
  Mouse(WM_MOUSEMOVE, 1, bx(), kBy);
  EXPECT_EQ(list_->buttonState, 2);
  Mouse(WM_LBUTTONDOWN, 1, bx(), kBy);
  EXPECT_EQ(list_->buttonState, 3);
  EXPECT_EQ(GetCapture(), list());
  Validate();
  Mouse(WM_LBUTTONUP, 1, bx(), kBy);
  EXPECT_EQ(Actions().rows, (std::vector<int32_t>{1}));
  EXPECT_EQ(list_->buttonState, 2);
  EXPECT_EQ(InvalidRows(), (std::set<int>{1}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, ReleaseOnAnotherRowResetsTheButton) {
  Mouse(WM_MOUSEMOVE, 1, bx(), kBy);
  Mouse(WM_LBUTTONDOWN, 1, bx(), kBy);
  Mouse(WM_MOUSEMOVE, 2, bx(), kBy);
  EXPECT_EQ(list_->buttonState, 3);
  Validate();
  Send(WM_LBUTTONUP, 2, bx(), kBy);
  EXPECT_TRUE(Actions().rows.empty());
  EXPECT_EQ(list_->buttonState, 1);
  EXPECT_EQ(list_->hotRow, 0);
  EXPECT_TRUE(InvalidRows().count(1));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, ReleaseOutsideOnTheSameRowLeavesItHot) {
  Mouse(WM_MOUSEMOVE, 1, bx(), kBy);
  Mouse(WM_LBUTTONDOWN, 1, bx(), kBy);
  Mouse(WM_MOUSEMOVE, 1, 300, kBy);
  Validate();
  Send(WM_LBUTTONUP, 1, 300, kBy);
  EXPECT_TRUE(Actions().rows.empty());
  EXPECT_EQ(list_->buttonState, 2);
  EXPECT_EQ(InvalidRows(), (std::set<int>{1}));
  PumpMouse();
  EXPECT_TRUE(Actions().rows.empty());
  // The button's edges are outside it.
  Mouse(WM_MOUSEMOVE, 1, width() - 26, kBy);
  EXPECT_EQ(list_->buttonState, 1);
  Mouse(WM_MOUSEMOVE, 1, width() - 100, 24);
  EXPECT_EQ(list_->buttonState, 2);
}

TEST_F(ButtonTest, ReleaseOverTheHeaderLetsGoOfThePressedButton) {
  Mouse(WM_MOUSEMOVE, 1, bx(), kBy);
  Mouse(WM_LBUTTONDOWN, 1, bx(), kBy);
  Mouse(WM_MOUSEMOVE, 0, bx(), 60);
  Mouse(WM_LBUTTONUP, 0, bx(), 60);
  EXPECT_EQ(list_->buttonState, 1);
  // A press beside the button and a release on it is no click.
  Mouse(WM_MOUSEMOVE, 1, 300, kBy);
  Mouse(WM_LBUTTONDOWN, 1, 300, kBy);
  Mouse(WM_MOUSEMOVE, 1, bx(), kBy);
  Mouse(WM_LBUTTONUP, 1, bx(), kBy);
  EXPECT_TRUE(Actions().rows.empty());
}

TEST_F(ButtonTest, RejectedOrMissingActionIsSkipped) {
  KORVALIN_SKIP_WHERE_BAD_POINTER_FAULTS_ARE_EMULATED();
  list_->setRowActionHandler(reinterpret_cast<RowActionHandler>(8), 0);
  Click(1, bx(), kBy);
  list_->setRowActionHandler(nullptr, 0);
  Click(1, bx(), kBy);
  EXPECT_TRUE(Actions().rows.empty());
  EXPECT_EQ(list_->buttonState, 2);
}

TEST_F(FolderListTest, SetFontOutsideDrawingOnlyStores) {
  const int before = GdiObjectCount();
  for (int i = 0; i < 50; ++i) list_->setFont("宋体", true, 30 + i, true, true, true);
  EXPECT_EQ(GdiObjectCount(), before);
  EXPECT_STREQ(list_->fontName, "宋体");
  EXPECT_EQ(list_->fontSize, 79);
  EXPECT_TRUE(list_->fontBold);
  EXPECT_EQ(list_->getDrawDC(), nullptr);
  list_->setFont(nullptr, false, 12, false, false, false);
  EXPECT_EQ(list_->fontSize, 79);
  EXPECT_TRUE(list_->fontBold);
}

}  // namespace
}  // namespace korvalin::test
