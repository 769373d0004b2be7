// The editor as the other folders use it (editor.h): a range replaced as one undo step, marks
// that follow their lines, and the gutter click and mouse hover reaching their hooks.
#include <windows.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "editor/colouring.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace editor_interface_test {

class EditorInterfaceTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    saved_ = EditorHooks();
  }
  void TearDown() override {
    EditorHooks() = saved_;  // the program's own listeners stay
    DebugMarks().Clear();
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    FrameTest::TearDown();
  }
  EditorHookSet saved_;
  // The colour shown at a character.
  static COLORREF ColourAt(HWND edit, long at) {
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    SetSelection(edit, at, at + 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SetSelection(edit, start, end);
    return (format.dwEffects & CFE_AUTOCOLOR) ? 0 : format.crTextColor;
  }
  // The document's lines (its model's, when in step) are the control's, to the text's end.
  static void ExpectTheControlsLines(HWND window) {
    HWND edit = DocumentTextControl(window);
    for (long at = 0; at <= TextLength(edit); ++at)
      EXPECT_EQ(DocumentLineOf(window, at), SendMessageA(edit, EM_EXLINEFROMCHAR, 0, at)) << at;
    for (int line = 0; line <= LineCount(edit); ++line)
      EXPECT_EQ(DocumentLineStart(window, line), LineIndex(edit, line)) << line;
  }
  // A line's top in the document window's client coordinates.
  static long LineTopInWindow(HWND window, int line) {
    HWND edit = DocumentTextControl(window);
    POINTL at{};
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), DocumentLineStart(window, line));
    POINT inWindow{at.x, at.y};
    MapWindowPoints(edit, window, &inWindow, 1);
    return inWindow.y;
  }
};

TEST_F(EditorInterfaceTest, ARangeIsReplacedAsOneUndoStepAndColoured) {
  HWND edit = NewDocumentWith("NOP\r\nNOP R0\r\n");
  HWND window = g_app.activeDocument;
  const std::string before = DocumentText(window);
  ASSERT_EQ(before, "NOP\rNOP R0\r");

  ASSERT_TRUE(ReplaceDocumentRange(window, 4, 7, "MVII"));
  EXPECT_EQ(DocumentText(window), "NOP\rMVII R0\r");
  EXPECT_EQ(ColourAt(edit, 5), GetKeywordColour("MVII")) << "the replaced word is coloured";
  EXPECT_TRUE(DocumentModified(window));
  // Lines of their own go in coloured too, and both replacements come back one step each.
  ASSERT_TRUE(ReplaceDocumentRange(window, 0, 3, "MVII R1\r\nMVII R2\r\nMVII R3"));
  EXPECT_EQ(DocumentText(window), "MVII R1\rMVII R2\rMVII R3\rMVII R0\r");
  ExpectTheControlsLines(window);
  EXPECT_EQ(ColourAt(edit, DocumentLineStart(window, 1)), GetKeywordColour("MVII"));
  SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(window), "NOP\rMVII R0\r");
  SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(DocumentText(window), before);
  ExpectTheControlsLines(window);
  EXPECT_EQ(ColourAt(edit, 4), GetKeywordColour("NOP")) << "undone text is coloured again";

  // Refused, and nothing changed: a range outside the text, a text past the document's limit.
  EXPECT_FALSE(ReplaceDocumentRange(window, 5, 100, "x"));
  EXPECT_FALSE(ReplaceDocumentRange(window, 6, 5, "x"));
  SetTextLimit(edit, TextLength(edit) + 2);
  EXPECT_FALSE(ReplaceDocumentRange(window, 0, 0, "abc"));
  EXPECT_EQ(DocumentText(window), before);
  EXPECT_FALSE(ReplaceDocumentRange(frame_, 0, 0, "x")) << "not a document window";
}

TEST_F(EditorInterfaceTest, DebugMarksFollowTheirLinesAndTheCaretGoesToALine) {
  const std::string path = TempFolder("quillon-editor-interface") + "\\marks.asm";
  WriteText(path, "L0\r\nL1\r\nL2\r\nL3\r\n");
  ASSERT_TRUE(OpenDocumentAtLine(path, -1));
  HWND window = g_app.activeDocument;
  const std::string full = DocumentPath(window);
  DebugMarks().Add(full, 2, MarkKind::kBreakpoint);
  DebugMarks().Add(full, 3, MarkKind::kCurrentLine);
  RefreshGutters();

  ASSERT_TRUE(ReplaceDocumentRange(window, 0, 0, "NEW\r\n"));  // a line above both
  EXPECT_TRUE(DebugMarks().Has(full, 3, MarkKind::kBreakpoint));
  EXPECT_TRUE(DebugMarks().Has(full, 4, MarkKind::kCurrentLine));
  ASSERT_TRUE(ReplaceDocumentRange(window, DocumentLineStart(window, 1), DocumentLineStart(window, 2), ""));
  EXPECT_TRUE(DebugMarks().Has(full, 2, MarkKind::kBreakpoint)) << "a line deleted above it";
  // An error on a line that an Undo takes away goes with it, never onto the line above.
  ASSERT_TRUE(ReplaceDocumentRange(window, DocumentLineStart(window, 1), DocumentLineStart(window, 1), "ADDED\r\n"));
  BuildMarks().Add(full, 1, MarkKind::kError);
  SendMessageA(DocumentTextControl(window), WM_UNDO, 0, 0);
  EXPECT_EQ(BuildMarks().For(full), nullptr) << "the Undo took the marked line away";
  EXPECT_TRUE(DebugMarks().Has(full, 2, MarkKind::kBreakpoint)) << "back on its line";
  BuildMarks().Clear();

  PutCaretAtLine(window, 3);
  EXPECT_EQ(DocumentCaret(window), DocumentLineStart(window, 3));
  EXPECT_EQ(DocumentLineOf(window, DocumentCaret(window)), 3);
  // The caret's point on the screen holds the caret's character.
  POINT at{};
  int height = 0;
  ASSERT_TRUE(CaretScreenPoint(window, at, height));
  EXPECT_GT(height, 0);
  EXPECT_EQ(PositionAtScreenPoint(window, {at.x + 1, at.y + height / 2}), DocumentCaret(window));
}

TEST_F(EditorInterfaceTest, GutterClicksAndTheMouseOverTheTextReachTheirHooks) {
  HWND edit = NewDocumentWith("NOP\r\nMVII #1, R0\r\nB 0\r\n");
  HWND window = g_app.activeDocument;
  std::vector<int> clicked;
  std::vector<long> hovered;
  EditorHooks().gutterClick["test"] = [&](HWND w, int line) { clicked.push_back(w == window ? line : -100); };
  EditorHooks().textHover = [&](HWND, long position, POINT) { hovered.push_back(position); };

  const long lineHeight = LineTopInWindow(window, 1) - LineTopInWindow(window, 0);
  ASSERT_GT(lineHeight, 0);
  for (int line : {0, 2, 1})
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, LineTopInWindow(window, line) + lineHeight / 2));
  // Below the last line (the empty fourth) there is no line to click.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(3, LineTopInWindow(window, 3) + lineHeight + lineHeight / 2));
  EXPECT_EQ(clicked, (std::vector<int>{0, 2, 1}));

  // The mouse over "MVII" (line 1), then far right of the short line 0.
  POINTL at{};
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 6);
  SendMessageA(edit, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 1, at.y + lineHeight / 2));
  SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 0);
  SendMessageA(edit, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 400, at.y + lineHeight / 2));
  EXPECT_EQ(hovered, (std::vector<long>{6, -1}));

  // A note per line widens the gutter: the text moves right.
  RECT shownBefore{};
  SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shownBefore));
  const RECT controlBefore = RectIn(edit, window);
  EditorHooks().gutterNote = [](HWND, int line) { return "$" + std::to_string(0x5000 + line); };
  EditorHooks().gutterNoteCharacters = 6;
  RefreshGutters();
  RECT shownAfter{};
  SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shownAfter));
  const RECT controlAfter = RectIn(edit, window);
  EXPECT_GT(controlAfter.left + shownAfter.left, controlBefore.left + shownBefore.left);
}

}  // namespace editor_interface_test
}  // namespace quillon::test
