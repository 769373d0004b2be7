// The view of a document's text: the control keeps its size, the window shows the caret and
// every line after every way of moving, and a resize does not lay the text out again.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <functional>
#include <string>

#include "editor/colouring.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "support/gui_fixture.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace text_view_test {

constexpr int kLines = 6000;  // taller than 65,535 pixels: the control's own scroll reports scale down
constexpr int kLongLine = 10;

class TextViewTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    SetWindowPos(frame_, nullptr, 0, 0, 760, 560, SWP_NOZORDER);
    std::string text;
    for (int i = 0; i < kLines; ++i)
      text += (i == kLongLine ? std::string(400, 'w') : "line " + std::to_string(i)) + (i + 1 < kLines ? "\r\n" : "");
    edit_ = NewDocumentWith(text);
    window_ = g_app.activeDocument;
    SetFocus(edit_);
    PumpMessages(50);
  }
  long Caret() { return SelectionOf(edit_).end; }
  int CaretLine() { return static_cast<int>(SendMessageA(edit_, EM_EXLINEFROMCHAR, 0, Caret())); }
  long LineHeight() {
    POINTL a{}, b{};
    SendMessageA(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), 0);
    SendMessageA(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), LineIndex(edit_, 1));
    return b.y - a.y;
  }
  // The control's place in the window, and how far it is moved out past the shown part's edges
  // (the shown part in the control's coordinates starts there).
  long ControlLeft() {
    RECT control{};
    GetWindowRect(edit_, &control);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&control), 2);
    return control.left;
  }
  RECT Shift() {
    RECT shown{};
    SendMessageA(edit_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    return shown;
  }
  // The window's part that shows text, and where a character is in the window.
  RECT Shown() {
    RECT client{};
    GetClientRect(window_, &client);
    client.left = ControlLeft() + Shift().left;  // where the gutter ends
    return client;
  }
  POINT InWindow(long character) {
    POINTL at{};
    SendMessageA(edit_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), character);
    POINT point{at.x, at.y};
    MapWindowPoints(edit_, window_, &point, 1);
    return point;
  }
  bool Showing(long character) {
    const POINT at = InWindow(character);
    const RECT shown = Shown();
    return at.x >= shown.left && at.x < shown.right && at.y >= 0 && at.y + LineHeight() <= shown.bottom;
  }
  std::string Where(long c) {
    const POINT at = InWindow(c);
    const RECT shown = Shown();
    RECT control{};
    GetWindowRect(edit_, &control);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&control), 2);
    return " at " + std::to_string(at.x) + "," + std::to_string(at.y) + " shown " + std::to_string(shown.left) + ".." +
           std::to_string(shown.right) + " x 0.." + std::to_string(shown.bottom) + " control " +
           std::to_string(control.left) + "," + std::to_string(control.top) + " size " +
           std::to_string(control.right - control.left) + "x" + std::to_string(control.bottom - control.top) +
           " shift " + std::to_string(Shift().left) + "," + std::to_string(Shift().top);
  }
  int ShownLines() { return static_cast<int>(Shown().bottom / LineHeight()); }
  HWND edit_ = nullptr, window_ = nullptr;
};

TEST_F(TextViewTest, TheCaretAndEveryLineComeIntoTheWindow) {
  const long last = TextLength(edit_);
  const struct {
    const char* name;
    std::function<void()> act;
    std::function<void()> check;
  } steps[] = {
      {"Ctrl+End", [&] { Key(VK_END, true); }, [&] { EXPECT_EQ(Caret(), last); }},
      {"Ctrl+Home", [&] { Key(VK_HOME, true); }, [&] { EXPECT_EQ(FirstVisibleLine(edit_), 0); }},
      {"Page Down", [&] { Key(VK_NEXT); }, [&] { EXPECT_EQ(CaretLine(), ShownLines()); }},
      {"Page Up", [&] { Key(VK_PRIOR); }, [&] { EXPECT_EQ(Caret(), 0); }},
      {"Shift+Page Down", [&] { Key(VK_NEXT, false, true); },
       [&] {
         EXPECT_EQ(SelectionOf(edit_), (Sel{0, LineIndex(edit_, ShownLines())}));
       }},
      {"Shift+Page Up", [&] { Key(VK_PRIOR, false, true); },
       [&] {
         EXPECT_EQ(SelectionOf(edit_), (Sel{0, 0}));
       }},
      {"End of the long line",
       [&] {
         SetSelection(edit_, LineIndex(edit_, kLongLine), LineIndex(edit_, kLongLine));
         Key(VK_END);
       },
       [&] { EXPECT_EQ(Caret(), LineIndex(edit_, kLongLine) + 400); }},
      {"Home", [&] { Key(VK_HOME); }, [&] { EXPECT_TRUE(Showing(0)) << "the text's left edge"; }},
      {"Down to the window's last line, and Enter",
       [&] {
         for (int i = 0; i < ShownLines(); ++i) Key(VK_DOWN);
         Key(VK_RETURN);
       },
       [&] { EXPECT_EQ(CaretLine(), kLongLine + ShownLines() + 1); }},
      {"Go to Line",
       [&] {
         ScrollLines(edit_, 4000 - FirstVisibleLine(edit_));
         SetSelection(edit_, LineIndex(edit_, 4000), LineIndex(edit_, 4000));
       },
       [&] { EXPECT_EQ(FirstVisibleLine(edit_), 4000); }},
      {"Shift+Down, then Shift+Ctrl+Home over the anchor",
       [&] {
         SetSelection(edit_, LineIndex(edit_, 3000), LineIndex(edit_, 3000));
         Key(VK_DOWN, false, true);
         Key(VK_DOWN, false, true);
         Key(VK_HOME, true, true);
       },
       [&] {
         EXPECT_EQ(SelectionOf(edit_), (Sel{0, LineIndex(edit_, 3000)}));
         EXPECT_TRUE(Showing(0)) << "the caret, at the text's start";
         SetSelection(edit_, 0, 0);
       }},
      {"the scroll bar to its end, and a click on the last line",
       [&] {
         SendMessageA(window_, WM_VSCROLL, SB_BOTTOM, 0);
         SetSelection(edit_, TextLength(edit_), TextLength(edit_));
       },
       [&] { EXPECT_TRUE(Showing(LineIndex(edit_, LineCount(edit_) - 1))) << "the last line"; }},
      {"the wheel up and down again to the end",
       [&] {
         for (int i = 0; i < 10; ++i) SendMessageA(edit_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
         for (int i = 0; i < 20; ++i) SendMessageA(edit_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
       },
       [&] { EXPECT_TRUE(Showing(LineIndex(edit_, LineCount(edit_) - 1))) << "the last line is reachable"; }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    PumpMessages();
    step.check();
    EXPECT_TRUE(Showing(Caret())) << "caret at line " << CaretLine() << ", first shown " << FirstVisibleLine(edit_)
                                  << Where(Caret());
  }
}

// How many of the window's pixels in `area` (client coordinates) are not the text's white
// background: what the user sees of the text there.
int InkIn(HWND window, RECT area) {
  HDC dc = GetDC(window);
  int ink = 0;
  for (long y = area.top; y < area.bottom; y += 2)
    for (long x = area.left; x < area.right; x += 2) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160) ++ink;
    }
  ReleaseDC(window, dc);
  return ink;
}

// A paste of many lines far into a text shows its lines at once, in the window that follows
// the caret past them: the control drew nothing there until the view was scrolled.
TEST_F(TextViewTest, ALargePasteShowsItsTextAtOnce) {
  std::string text, paste;
  for (int i = 0; i < 930; ++i) text += "        MVII    #" + std::to_string(i) + ", R0   ; original line\r\n";
  for (int i = 0; i < 1219; ++i) paste += "pasted" + std::to_string(i) + ": MVO R1, $" + std::to_string(i) + "\r\n";
  SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SetSelection(edit_, LineIndex(edit_, 52), LineIndex(edit_, 52));
  PumpMessages(100);
  PutOnClipboard(paste);
  Key('V', true);
  PumpMessages();
  EXPECT_EQ(CaretLine(), 52 + 1219);
  EXPECT_TRUE(Showing(Caret())) << Where(Caret());
  // The lines above the caret: pasted text, drawn.
  RECT area = Shown();
  area.right = std::min(area.right, area.left + 200);
  area.bottom = InWindow(Caret()).y;
  ASSERT_GT(area.bottom - area.top, 10 * LineHeight());
  EXPECT_GT(InkIn(window_, area), 100) << "the pasted lines above the caret are drawn";
}

TEST_F(TextViewTest, AResizeLeavesTheControlsSizeAndKeepsTheCaretShown) {
  Key(VK_END, true);
  PumpMessages();
  RECT before{};
  GetWindowRect(edit_, &before);
  for (int width : {700, 420, 900}) {
    SetWindowPos(frame_, nullptr, 0, 0, width, 400, SWP_NOZORDER | SWP_NOMOVE);
    Command(IDM_TOOLS_OUTPUTPANE);
    PumpMessages();
    RECT now{};
    GetWindowRect(edit_, &now);
    EXPECT_EQ(now.right - now.left, before.right - before.left) << width;
    EXPECT_EQ(now.bottom - now.top, before.bottom - before.top) << width;
    SetSelection(edit_, TextLength(edit_), TextLength(edit_));
    PumpMessages();
    EXPECT_TRUE(Showing(Caret())) << width << Where(Caret());
  }
}

// A selection dragged past the window's bottom keeps scrolling while the mouse is held still;
// the control, larger than the window, never sees the mouse leave it.
TEST_F(TextViewTest, ADragHeldPastTheBottomKeepsScrolling) {
  const POINT top = InWindow(0);
  POINT below{top.x + 10, Shown().bottom + 2 * LineHeight()};
  MapWindowPoints(window_, edit_, &below, 1);
  SendMessageA(edit_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 2));
  const long anchor = SelectionOf(edit_).start;
  SendMessageA(edit_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(below.x, below.y));
  PumpMessages();
  const int first = FirstVisibleLine(edit_);
  PumpMessages(600);
  EXPECT_GT(FirstVisibleLine(edit_), first + 5) << "held still, the view goes on";
  EXPECT_EQ(SelectionOf(edit_).start, anchor);
  EXPECT_TRUE(Showing(Caret()));
  SendMessageA(edit_, WM_LBUTTONUP, 0, MAKELPARAM(below.x, below.y));
  PumpMessages(100);
  const int released = FirstVisibleLine(edit_);
  PumpMessages(300);
  EXPECT_EQ(FirstVisibleLine(edit_), released) << "the button up stops it";
}

// A recolouring of many lines keeps the control's scroll; past 65,535 pixels the control reports
// it scaled down, and the view jumped back by half.
TEST_F(TextViewTest, RecolouringLinesFarDownKeepsTheView) {
  ScrollLines(edit_, 5000 - FirstVisibleLine(edit_));
  SetSelection(edit_, LineIndex(edit_, 5003), LineIndex(edit_, 5003));
  PumpMessages();
  ColourLines(edit_, 4990, 5010);
  PumpMessages();
  EXPECT_EQ(FirstVisibleLine(edit_), 5000);
  EXPECT_TRUE(Showing(Caret()));
}

}  // namespace text_view_test
}  // namespace quillon::test
