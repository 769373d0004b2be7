// Undo and redo of every kind of edit, driven by keys into a coloured document of the frame.
#include <windows.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "base/syntax_table.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/syntax_colours.h"
#include "editor/text_control.h"
#include "resource.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace undo_test {

constexpr COLORREF kBlue = 0xFF0000;

std::string AllText(HWND edit) { return TextRange(edit, 0, TextLength(edit)); }

// A key as the message loop delivers it, with Ctrl and Shift held as asked.
void KeyTo(HWND edit, WPARAM key, bool control = false, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = control ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  SendMessageA(edit, WM_KEYDOWN, key, 1);
  if (control && key >= 'A' && key <= 'Z')
    SendMessageA(edit, WM_CHAR, key - 'A' + 1, 1);
  else if (key == VK_RETURN || key == VK_TAB || key == VK_BACK)
    SendMessageA(edit, WM_CHAR, key == VK_RETURN ? '\r' : key == VK_TAB ? '\t' : '\b', 1);
  SendMessageA(edit, WM_KEYUP, key, 0xC0000001);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

void Type(HWND edit, const std::string& text) {
  for (char c : text) {
    if (c == '\r')
      KeyTo(edit, VK_RETURN);
    else
      SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
}

// True when every character of each "MVI" in the text is blue.
bool KeywordsBlue(HWND edit) {
  const std::string text = AllText(edit);
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  bool blue = true;
  for (std::size_t at = text.find("MVI"); at != std::string::npos && blue; at = text.find("MVI", at + 3)) {
    const std::size_t lineStart = text.rfind('\r', at) == std::string::npos ? 0 : text.rfind('\r', at) + 1;
    if (text.find(';', lineStart) < at) continue;  // in a comment
    SetSelection(edit, static_cast<long>(at), static_cast<long>(at + 3));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    blue = (format.dwMask & CFM_COLOR) && !(format.dwEffects & CFE_AUTOCOLOR) && format.crTextColor == kBlue;
  }
  SetSelection(edit, selStart, selEnd);
  return blue;
}

std::string Lines(const char* line, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line + std::to_string(i) + "\r";
  return text;
}

class UndoTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder_ = TempFolder("quillon_undo");
    saved_ = g_syntaxTable;
    g_syntaxTable.Clear();
    g_syntaxTable.Insert("MVI", kBlue);
  }
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    g_syntaxTable = saved_;
    FrameTest::TearDown();
  }
  HWND Open(const std::string& text) {
    const std::string path = folder_ + "\\undo" + std::to_string(++files_) + ".asm";
    WriteText(path, text);
    EXPECT_TRUE(OpenDocumentAtLine(path, -1));
    HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
    return document ? DocumentTextControl(document) : nullptr;
  }
  std::string folder_;
  int files_ = 0;
  SyntaxTable saved_;
};

// Replace All through the dialog, its report answered; `regex`: with "Perl-style regular
// expression" ticked.
void ReplaceAll(HWND frame, const std::string& find, const std::string& with, bool regex = false) {
  DialogAnswerer answerer([&](HWND dialog, const SeenBox& seen) {
    if (seen.caption != "Search and replace") return PressButton(dialog, IDOK);
    SetControlText(dialog, IDC_FIND_TEXT, find);
    SetControlText(dialog, IDC_REPLACE_WITH, with);
    if (regex != (IsDlgButtonChecked(dialog, IDC_FIND_REGEX) == BST_CHECKED))
      SendDlgItemMessageA(dialog, IDC_FIND_REGEX, BM_CLICK, 0, 0);
    PressButton(dialog, IDC_REPLACE_ALL);
    PressButton(dialog, IDCANCEL);
  });
  SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDM_EDIT_REPLACE, 1), 0);
  ASSERT_EQ(answerer.Seen().size(), 2u);
}

TEST_F(UndoTest, EachCtrlZTakesBackOneActionUntilTheOriginalAndCtrlYRedoesIt) {
  struct Case {
    const char* name;
    std::string original;
    long selStart, selEnd;
    bool userSelection;  // the action starts from the selection, which undo then restores
    std::function<void(HWND edit, HWND frame)> act;
    std::vector<std::string> afterEachUndo;  // the last one is the original
  };
  const std::string hundred = Lines("MVI R0, ", 100);
  const std::string ten = Lines("x", 10);
  const Case cases[] = {
      {"typed lines",
       "B x\r",
       4,
       4,
       true,
       [](HWND edit, HWND) { Type(edit, "MVI R0 ; c\rMVI R1 ; d\rMVI R2"); },
       {"B x\rMVI R0 ; c\rMVI R1 ; d\r", "B x\rMVI R0 ; c\r", "B x\r"}},
      {"100 coloured lines pasted over a selection of 10",
       ten + "end\r",
       0,
       static_cast<long>(ten.size()),
       true,
       [&](HWND edit, HWND) {
         PutOnClipboard(hundred);
         KeyTo(edit, 'V', true);
       },
       {ten + "end\r"}},
      {"cut, then paste elsewhere",
       "MVI R0\rMVI R1\rB x\r",
       0,
       7,
       true,
       [](HWND edit, HWND) {
         KeyTo(edit, 'X', true);
         SetSelection(edit, 7, 7);
         KeyTo(edit, VK_INSERT, false, true);
       },
       {"MVI R1\rB x\r", "MVI R0\rMVI R1\rB x\r"}},
      {"backspaces and deletes",
       "MVI R0, 5\r",
       9,
       9,
       true,
       [](HWND edit, HWND) {
         KeyTo(edit, VK_BACK);
         KeyTo(edit, VK_BACK);
         SetSelection(edit, 0, 0);
         KeyTo(edit, VK_DELETE);
         KeyTo(edit, VK_DELETE);
       },
       {"MVI R0,\r", "MVI R0, 5\r"}},
      {"Replace All over coloured lines",
       Lines("MVI R", 60),
       0,
       0,
       false,
       [](HWND, HWND frame) { ReplaceAll(frame, "MVI", "MVO"); },
       {Lines("MVI R", 60)}},
      {"Enter keeps the indent, Tab indents, Ctrl+Q comments",
       "\tMVI R0\rB x\r",
       7,
       7,
       true,
       [](HWND edit, HWND) {
         KeyTo(edit, VK_RETURN);
         Type(edit, "B y");
         SetSelection(edit, 0, 13);
         KeyTo(edit, VK_TAB);
         KeyTo(edit, VK_TAB, false, true);
         KeyTo(edit, VK_TAB, false, true);
         KeyTo(edit, 'Q', true);
       },
       {"MVI R0\rB y\rB x\r", "\tMVI R0\r\tB y\rB x\r", "\t\tMVI R0\r\t\tB y\rB x\r", "\tMVI R0\r\tB y\rB x\r",
        "\tMVI R0\r\t\rB x\r", "\tMVI R0\rB x\r"}},
  };
  for (const Case& c : cases) {
    HWND edit = Open(c.original);
    ASSERT_NE(edit, nullptr) << c.name;
    ASSERT_EQ(AllText(edit), c.original) << c.name;
    SetSelection(edit, c.selStart, c.selEnd);
    c.act(edit, frame_);
    const std::string edited = AllText(edit);
    EXPECT_TRUE(KeywordsBlue(edit)) << c.name;
    std::vector<std::string> seen;
    std::string last = edited;
    for (std::size_t i = 0; i < c.afterEachUndo.size() + 1 && SendMessageA(edit, EM_CANUNDO, 0, 0); ++i) {
      KeyTo(edit, 'Z', true);
      const std::string now = AllText(edit);
      EXPECT_NE(now, last) << c.name << ": undo " << i + 1 << " changed nothing";
      seen.push_back(last = now);
    }
    EXPECT_EQ(seen, c.afterEachUndo) << c.name;
    EXPECT_FALSE(DocumentModified(g_app.activeDocument)) << c.name << ": back at the saved text";
    EXPECT_TRUE(KeywordsBlue(edit)) << c.name;
    long start = -1, end = -1;
    GetSelection(edit, start, end);
    if (c.userSelection) {
      EXPECT_EQ(start, c.selStart) << c.name << ": undo restores the selection";
      EXPECT_EQ(end, c.selEnd) << c.name;
    }
    for (std::size_t i = 0; i < c.afterEachUndo.size(); ++i) KeyTo(edit, i % 2 ? 'Y' : 'Z', true, i % 2 == 0);
    EXPECT_EQ(AllText(edit), edited) << c.name << ": Ctrl+Y and Ctrl+Shift+Z redo every step";
    EXPECT_TRUE(DocumentModified(g_app.activeDocument)) << c.name;
    EXPECT_TRUE(KeywordsBlue(edit)) << c.name;
  }
}

TEST_F(UndoTest, EditMenuFollowsTheDocumentAndUndoesAfterASave) {
  HWND edit = Open("MVI R0\r");
  HMENU menu = nullptr;
  for (int i = 0; !menu && i < GetMenuItemCount(GetMenu(frame_)); ++i)
    if (GetMenuState(GetSubMenu(GetMenu(frame_), i), IDM_EDIT_UNDO, MF_BYCOMMAND) != static_cast<UINT>(-1))
      menu = GetSubMenu(GetMenu(frame_), i);
  ASSERT_NE(menu, nullptr);
  auto enabled = [&](int id) {
    SendMessageA(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 1);
    return !(GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED);
  };
  EXPECT_FALSE(enabled(IDM_EDIT_UNDO));
  EXPECT_FALSE(enabled(IDM_EDIT_CUT));
  Command(IDM_EDIT_SELECTALL);
  EXPECT_TRUE(enabled(IDM_EDIT_CUT));
  Command(IDM_EDIT_DELETE);
  EXPECT_EQ(AllText(edit), "");
  EXPECT_TRUE(enabled(IDM_EDIT_UNDO));
  EXPECT_FALSE(enabled(IDM_EDIT_REDO));
  Command(IDM_FILE_SAVE);
  EXPECT_FALSE(DocumentModified(g_app.activeDocument));
  Command(IDM_EDIT_UNDO);
  EXPECT_EQ(AllText(edit), "MVI R0\r");
  EXPECT_TRUE(DocumentModified(g_app.activeDocument)) << "the saved text is the empty one";
  EXPECT_TRUE(enabled(IDM_EDIT_REDO));
  Command(IDM_EDIT_REDO);
  EXPECT_FALSE(DocumentModified(g_app.activeDocument));
}

// A change the history did not see (here: made with the notifications off) is never undone
// into: the history is dropped, or applied only where the text is what it describes.
// Under a double-byte code page the control counts a two-byte character once while the history
// holds its bytes. Typing after such characters stays undoable: the editing layer once compared
// the two counts, dropped the history at every key, and Ctrl+Z had nothing to take back.
TEST_F(UndoTest, TypingAfterDoubleByteCharactersIsTakenBackByCtrlZ) {
  NeedDoubleByteCodePage();
  if (IsSkipped() || HasFatalFailure()) return;
  const std::string original = "; \x82\xA0\x82\xA2 kana\rB x\r";  // two Hiragana letters in a comment
  HWND edit = Open(original);
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(AllText(edit), original);
  ASSERT_EQ(TextLength(edit), static_cast<long>(original.size()) - 2) << "two characters of two bytes each";
  const long end = TextLength(edit);
  SetSelection(edit, end, end);
  Type(edit, "MVI R0");
  ASSERT_EQ(AllText(edit), original + "MVI R0");
  KeyTo(edit, 'Z', true);
  EXPECT_EQ(AllText(edit), original) << "one Ctrl+Z takes the typing back";
  EXPECT_FALSE(DocumentModified(g_app.activeDocument));
  KeyTo(edit, 'Y', true);
  EXPECT_EQ(AllText(edit), original + "MVI R0");
  EXPECT_TRUE(DocumentModified(g_app.activeDocument));
}

// A regular expression matches the text's bytes while the control counts characters: Replace
// All after two-byte characters changes the matches and nothing else, never the second byte of
// a character that looks like a match (0x5C, the backslash, ends U+30BD), and Undo takes it back.
TEST_F(UndoTest, RegularExpressionReplaceAllAfterDoubleByteCharactersChangesOnlyTheMatches) {
  NeedDoubleByteCodePage();
  if (IsSkipped() || HasFatalFailure()) return;
  const std::string original = "; \x83\x5C\x82\xA0\r        MVI     R0\r; \x82\xA2 \\ MVI\r";
  HWND edit = Open(original);
  ASSERT_NE(edit, nullptr);
  ReplaceAll(frame_, "MVI", "mvi", true);
  EXPECT_EQ(AllText(edit), "; \x83\x5C\x82\xA0\r        mvi     R0\r; \x82\xA2 \\ mvi\r");
  ReplaceAll(frame_, "\\\\", "/", true);
  EXPECT_EQ(AllText(edit), "; \x83\x5C\x82\xA0\r        mvi     R0\r; \x82\xA2 / mvi\r");
  KeyTo(edit, 'Z', true);
  KeyTo(edit, 'Z', true);
  EXPECT_EQ(AllText(edit), original);
  EXPECT_FALSE(DocumentModified(g_app.activeDocument));
}

TEST_F(UndoTest, UndoNeverChangesATextItDoesNotDescribe) {
  HWND edit = Open("MVI R0\r");
  SetSelection(edit, 0, 0);
  Type(edit, "B x ");
  auto unseen = [&](long start, long end, const char* text) {
    const LRESULT mask = SendMessageA(edit, EM_GETEVENTMASK, 0, 0);
    SendMessageA(edit, EM_SETEVENTMASK, 0, 0);
    SetSelection(edit, start, end);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    SendMessageA(edit, EM_SETEVENTMASK, 0, mask);
  };
  unseen(0, 1, "C");  // same length, inside the typed text
  KeyTo(edit, 'Z', true);
  EXPECT_EQ(AllText(edit), "C x MVI R0\r") << "the typed text is no longer what the step describes";
  SetSelection(edit, 0, 0);
  Type(edit, "y");
  unseen(11, 11, "zz");  // another length
  KeyTo(edit, 'Z', true);
  EXPECT_EQ(AllText(edit), "yC x MVI R0zz\r");
  EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
}

}  // namespace undo_test
}  // namespace quillon::test
