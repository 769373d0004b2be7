// Keyword colours in real text controls: on open, while typing, pasting and undoing; the caret
// display and the font chooser.
#include "editor/colouring.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/error_log.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/syntax_colours.h"
#include "editor/text_control.h"
#include "resource.h"
#include "search/search_engine.h"
#include "search/search_range.h"
#include "support/dialog_answerer.h"
#include "support/gui_fixture.h"
#include "support/test_files.h"
#include "ui/app_state.h"

namespace quillon::test {
namespace colouring_test {

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x7F00;

// One letter per character: b blue, r red, g green, . black; a line break shows as "|".
// The probing selection is not told to the document, so the view does not follow it (scrolling
// a long line at every character took 11 ms each).
std::string ColourLetters(HWND edit) {
  const std::string text = TextRange(edit, 0, TextLength(edit));
  std::string letters;
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
  ScopedEventMask quiet(edit, ENM_SELCHANGE);
  for (long i = 0; i < static_cast<long>(text.size()); ++i) {
    if (text[static_cast<std::size_t>(i)] == '\r') {
      letters += '|';
      continue;
    }
    SetSelection(edit, i, i + 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const COLORREF c = (format.dwEffects & CFE_AUTOCOLOR) ? 0 : format.crTextColor;
    letters += c == kBlue ? 'b' : c == kRed ? 'r' : c == kGreen ? 'g' : c == 0 ? '.' : '?';
  }
  SetSelection(edit, selStart, selEnd);
  SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
  return letters;
}

// The letters ColourLetters should show: each line coloured as the keyword table says.
std::string LettersByTable(HWND edit) {
  const std::string text = TextRange(edit, 0, TextLength(edit));
  std::string letters;
  std::vector<ColourRun> runs;
  for (std::size_t pos = 0;;) {
    const std::size_t end = text.find('\r', pos);
    LineRuns(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos), g_syntaxTable, runs);
    for (const ColourRun& run : runs)
      letters += std::string(run.end - run.start, run.colour == kBlue    ? 'b'
                                                  : run.colour == kRed   ? 'r'
                                                  : run.colour == kGreen ? 'g'
                                                                         : '.');
    if (end == std::string::npos) return letters;
    letters += '|';
    pos = end + 1;
  }
}

// A text as the control holds it: each CR LF one "\r".
std::string ControlText(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at + 1, 1);
  return text;
}

void Type(HWND edit, const std::string& text) {
  for (char c : text) {
    if (c == '\n') {
      SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
      SendMessageA(edit, WM_CHAR, '\r', 0);
      SendMessageA(edit, WM_KEYUP, VK_RETURN, 0);
    } else {
      SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
  }
}

std::string StatusText(int part) {
  char text[64] = "";
  SendMessageA(g_app.statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
  return text;
}

class ColouringTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder_ = TempFolder("quillon_colouring");
    saved_ = g_syntaxTable;
    g_syntaxTable.Clear();
    for (const char* word : {"MVI", "MVO", "R0", "R1", "R0-R7", "@@x"}) g_syntaxTable.Insert(word, kBlue);
    g_syntaxTable.Insert("B", kRed);
  }
  void TearDown() override {
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetDocumentChanged(child, false);
    g_syntaxTable = saved_;
    FrameTest::TearDown();
  }
  // Opens a file holding `text`; the document's control.
  HWND Open(const std::string& name, const std::string& text) {
    path_ = folder_ + "\\" + name;
    WriteText(path_, text);
    EXPECT_TRUE(OpenDocumentAtLine(path_, -1));
    HWND document = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
    return document ? DocumentTextControl(document) : nullptr;
  }
  std::string folder_;
  std::string path_;
  SyntaxTable saved_;
};

TEST_F(ColouringTest, OpenedFilesShowKeywordsAndCommentsAndSaveUnchanged) {
  struct Case {
    const char* name;
    std::string text;
    std::string colours;
  };
  const std::string longLine = std::string(300, 'x') + " MVI " + std::string(300, 'y') + ";c";
  const Case cases[] = {
      // Blanks take the colour of the word before them.
      {"keywords and comment", "MVI R0, 5 ; load\r\n", "bbbbbb....gggggg|"},
      {"line start and after punctuation", "R0,R1\r\n(MVI)@@x\r\n", "bb.bb|.bbb.bbb|"},
      {"lower case and longer words", "mvi MVIX B\r\n", ".........r|"},
      {"semicolon inside a word", "MV;I B\r\n;MVI\r\n", "..gggg|gggg|"},
      {"LF and CR breaks", "MVI\nB\rR0", "bbb|r|bb"},
      {"long line", longLine + "\r\n", std::string(301, '.') + "bbbb" + std::string(300, '.') + "gg|"},
      {"tabs and 8-bit text", "\tMVI\xe9R0 {\\}\r\n", "bbbb.bb....|"},
  };
  for (const Case& c : cases) {
    HWND edit = Open(c.name, c.text);
    ASSERT_NE(edit, nullptr) << c.name;
    EXPECT_EQ(ColourLetters(edit), c.colours) << c.name;
    long start = -1, end = -1;
    GetSelection(edit, start, end);
    EXPECT_EQ(start, 0) << c.name;
    EXPECT_FALSE(DocumentModified(g_app.activeDocument)) << c.name;
    EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0)) << c.name << ": opening leaves nothing to undo";
  }
  // RTF cannot carry a NUL byte: such a file comes in as plain text, coloured line by line as far
  // as the control gives its text out, and is saved back whole.
  const std::string withNul("B\r\nMVI\0x\r\n", 11);
  HWND edit = Open("zero byte.asm", withNul);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(ColourLetters(edit), "r|bbb");
  EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0));
  ASSERT_TRUE(SaveDocument(g_app.activeDocument));
  EXPECT_EQ(ReadText(path_), withNul);
  g_syntaxTable.Clear();
  EXPECT_EQ(ColourLetters(Open("empty table.asm", "MVI ; x\r\n")), "....ggg|") << "comments without keywords";

  // The text shows in the editor font, also at a size of no whole half-point (10.6 points).
  const std::string savedName = g_settings.fontName;
  const int savedSize = g_settings.fontSize;
  for (int size : {200, 212}) {
    g_settings.fontName = "DejaVu Sans Mono";
    g_settings.fontSize = size;
    edit = Open("font" + std::to_string(size) + ".asm", "MVI\r\nB\r\n");
    SetSelection(edit, 0, TextLength(edit));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwMask & (CFM_FACE | CFM_SIZE)) == (CFM_FACE | CFM_SIZE)) << size << ": one font throughout";
    EXPECT_STREQ(format.szFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(format.yHeight, size);
  }
  g_settings.fontName = savedName;
  g_settings.fontSize = savedSize;
}

TEST_F(ColouringTest, OpenAndSaveKeepEveryByte) {
  std::string allBytes;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') allBytes += static_cast<char>(b);
  const std::string texts[] = {
      "MVI R0 ; {x} \\par\r\n\r\n",
      allBytes + "\r\n" + allBytes,
      "\r\n",
      "",
  };
  int n = 0;
  for (const std::string& text : texts) {
    Open("bytes" + std::to_string(n++) + ".asm", text);
    ASSERT_TRUE(SaveDocument(g_app.activeDocument));
    EXPECT_EQ(ReadText(path_), text) << "case " << n;
  }
}

TEST_F(ColouringTest, TypingColoursTheCaretLine) {
  HWND edit = Open("typing.asm", "");
  Type(edit, "MV");
  EXPECT_EQ(ColourLetters(edit), "..");
  Type(edit, "I");
  EXPECT_EQ(ColourLetters(edit), "bbb");
  Type(edit, ", R0");
  EXPECT_EQ(ColourLetters(edit), "bbb..bb") << "punctuation after a keyword is black";
  Type(edit, "X");
  EXPECT_EQ(ColourLetters(edit), "bbb.....");
  SetSelection(edit, 7, 8);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
  Type(edit, " ; load MVI\nB");
  EXPECT_EQ(ColourLetters(edit), "bbb..bbbgggggggggg|r") << "Enter after a comment keeps it green";
  SetSelection(edit, 0, 0);
  Type(edit, ";");
  EXPECT_EQ(ColourLetters(edit), "ggggggggggggggggggg|r");
}

// Each key leaves the text in the colours the keyword table gives it, whatever colour the
// control gave a typed character: typing, Backspace, Delete and typing over a selection, at the
// edges of words, blanks, comments and lines.
TEST_F(ColouringTest, EveryKeyLeavesTheTextInItsColours) {
  HWND edit = Open("keys.asm", "");
  const std::string original = "MVI R0, 5 ; load\r\nB x";
  const auto expected = [&] { return LettersByTable(edit); };
  struct Step {
    long from, to;     // the selection before the keys
    const char* keys;  // "\b" Backspace, "\x7f" Delete
  };
  const Step steps[] = {{0, 0, "X\b"},    {3, 3, "I\b"},  {4, 4, ";\b"},   {2, 2, "\x7f\x7f"}, {13, 13, "MVI"},
                        {4, 6, "R1"},     {4, 6, "\b"},   {19, 20, "; c"}, {17, 17, " "},      {16, 16, " B"},
                        {10, 10, "\x7f"}, {17, 17, "\b"}, {20, 20, "R"}};
  for (const Step& step : steps) {
    SetSelection(edit, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(original.c_str()));
    SetSelection(edit, step.from, step.to);
    for (const char* key = step.keys; *key; ++key) {
      if (*key == '\b' || *key == '\x7f') {
        SendMessageA(edit, WM_KEYDOWN, *key == '\b' ? VK_BACK : VK_DELETE, 0);
        if (*key == '\b') SendMessageA(edit, WM_CHAR, '\b', 0);
      } else {
        Type(edit, std::string(1, *key));
      }
      EXPECT_EQ(ColourLetters(edit), expected()) << step.from << " \"" << step.keys << "\" at key " << key - step.keys;
    }
  }
}

TEST_F(ColouringTest, ChangesInALongLineColourWhatTheyReach) {
  std::string line;
  for (int i = 0; i < 80; ++i) line += "B x ";  // longer than the 260-byte buffers
  HWND edit = Open("long.asm", "MVI ;" + line + "\r\n");
  std::string letters;
  for (int i = 0; i < 80; ++i) letters += "rr..";
  EXPECT_EQ(ColourLetters(edit), "bbbb" + std::string(321, 'g') + "|");
  SetSelection(edit, 5, 5);
  SendMessageA(edit, WM_KEYDOWN, VK_BACK, 0);  // the ";" goes: the rest of the line is code again
  EXPECT_EQ(ColourLetters(edit), "bbbb" + letters + "|");
  SetSelection(edit, 200, 200);
  Type(edit, ";");
  EXPECT_EQ(ColourLetters(edit), "bbbb" + letters.substr(0, 196) + std::string(125, 'g') + "|");
}

TEST_F(ColouringTest, PastedLinesAreColoured) {
  HWND edit = Open("paste.asm", "MVI\r\n");
  SetSelection(edit, 3, 3);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(" x\r\nR0 ; c\r\nB y"));
  EXPECT_EQ(ColourLetters(edit), "bbbb.|bbbggg|rr.|");
  // A paste through the clipboard, after a key press as a user gives it.
  PutOnClipboard(" mvo\r\nMVO R1");
  SetSelection(edit, 3, 3);
  SendMessageA(edit, WM_KEYDOWN, 'V', 0);
  SendMessageA(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(ColourLetters(edit), "bbbb...|bbbbbbb.|bbbggg|rr.|");

  // Any text of many lines goes in exactly as given, coloured, over a selection, and Undo and
  // Redo take it back and forth whole.
  const std::string before = TextRange(edit, 0, TextLength(edit));
  const long line2 = static_cast<long>(before.find('\r')) + 1, line3 = static_cast<long>(before.find('\r', line2)) + 1;
  const struct {
    const char* text;
    const char* shown;  // as the control holds it
    long from, to;      // the selection it replaces
  } pastes[] = {
      {"MVI\nB x\r\n; c\rR0", "MVI\rB x\r; c\rR0", 2, 9},  // from inside the first line into the second
      {"\r\n\r\nMVI\r\n\r\n", "\r\rMVI\r\r", 2, 9},
      {"{\\par}\tB\r\n\xe9\xff MVO ;\\\nx", "{\\par}\tB\r\xe9\xff MVO ;\\\rx", 2, 9},
      {"; c\r\nMVI R0\r\nB\r\n", "; c\rMVI R0\rB\r", 0, 0},  // whole lines at a line's start
      {"R0\r\n;\r\n", "R0\r;\r", line2, line3},              // over a whole line
      {";x\r\nB\r\n", ";x\rB\r", 1, line2},                  // from inside a line to the next line's start
      {"x ;\r\nMVI\r\nB", "x ;\rMVI\rB", 1, line3 + 1},      // over more text than it brings
  };
  for (const auto& paste : pastes) {
    PutOnClipboard(paste.text);
    SetSelection(edit, paste.from, paste.to);
    SendMessageA(edit, WM_PASTE, 0, 0);
    const std::string after = before.substr(0, paste.from) + paste.shown + before.substr(paste.to);
    EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), after) << paste.text;
    EXPECT_EQ(ColourLetters(edit), LettersByTable(edit)) << paste.text;
    SendMessageA(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), before) << paste.text;
    SendMessageA(edit, EM_REDO, 0, 0);
    EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), after) << paste.text;
    EXPECT_EQ(ColourLetters(edit), LettersByTable(edit)) << paste.text;
    SendMessageA(edit, EM_UNDO, 0, 0);
  }
  // A paste past the text limit goes in whole, of one line or of many.
  for (const char* text : {"MVI R0 ; MVO R1", "MVI R0\r\nMVO R1\r\n"}) {
    SetTextLimit(edit, TextLength(edit) + 4);
    PutOnClipboard(text);
    SetSelection(edit, 0, 0);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), ControlText(text) + before);
    EXPECT_GE(TextLimit(edit), TextLength(edit) + kTextRoom) << "room to type on after it";
    SendMessageA(edit, EM_UNDO, 0, 0);
  }
  // Ctrl+A, Ctrl+C, Ctrl+End, Ctrl+V: the text twice, not a line more, and coloured.
  SetFocus(edit);
  Key('A', true);
  Key('C', true);
  Key(VK_END, true);
  Key('V', true);
  PumpMessages(0);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), before + before);
  EXPECT_EQ(ColourLetters(edit), LettersByTable(edit));
}

TEST_F(ColouringTest, UndoTakesTypedAndPastedTextBack) {
  HWND edit = Open("undo.asm", "B x\r\n");
  SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_FALSE(DocumentModified(g_app.activeDocument)) << "nothing to undo after opening";
  SetSelection(edit, 4, 4);
  Type(edit, "MVI");
  ASSERT_EQ(TextRange(edit, 0, TextLength(edit)), "B x\rMVI");
  for (int i = 0; i < 4 && TextLength(edit) != 5; ++i) SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "B x\r");
  SendMessageA(edit, EM_REDO, 0, 0);
  SendMessageA(edit, EM_REDO, 0, 0);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "B x\rMVI");
  EXPECT_EQ(ColourLetters(edit), "rr.|bbb");

  SetSelection(edit, 0, 0);  // as Find or Go To would, with no key or mouse event
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("R0\r\n"));
  EXPECT_EQ(ColourLetters(edit), "bb|rr.|bbb");
  for (int i = 0; i < 4 && TextLength(edit) != 7; ++i) SendMessageA(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "B x\rMVI");
}

TEST_F(ColouringTest, EveryLineKeepsItsColoursAfterAReplace) {
  HWND edit = Open("replace.asm", "B x\r\nMVI R0 ; c\r\nfoo x\r\nMVI x\r\n");
  HWND window = g_app.activeDocument;
  // Find Next left the last match selected, with a key.
  const long last = LineIndex(edit, 3) + 4;
  SetSelection(edit, last, last + 1);
  SendMessageA(edit, WM_KEYUP, VK_F3, 0);
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    EXPECT_EQ(ReplaceAll(window, "x", "R1", kFindDown | kFindMatchCase, frame_), 3);
  }
  EXPECT_EQ(TextRange(edit, 0, TextLength(edit)), "B R1\rMVI R0 ; c\rfoo R1\rMVI R1\r");
  EXPECT_EQ(ColourLetters(edit), "rrbb|bbbbbbbggg|....bb|bbbbbb|");

  // One replace on a line, after the caret was left on another line.
  SetSelection(edit, 0, 0);
  SendMessageA(edit, WM_KEYUP, VK_HOME, 0);
  SetSelection(edit, LineIndex(edit, 2), LineIndex(edit, 2) + 3);  // "foo", as Find selects it
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    ReplaceNext(window, "foo", "MVO ;", kFindDown | kFindMatchCase, frame_);
  }
  EXPECT_EQ(ColourLetters(edit), "rrbb|bbbbbbbggg|bbbbgggg|bbbbbb|");
}

// True when a status bar part shows something darker than its background on the screen.
bool PartIsPainted(int part) {
  RECT bounds{};
  SendMessageA(g_app.statusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&bounds));
  HDC dc = GetDC(g_app.statusBar);
  bool painted = false;
  for (int y = bounds.top + 2; y < bounds.bottom - 2 && !painted; ++y)
    for (int x = bounds.left + 2; x < bounds.right - 2 && !painted; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      painted = c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96;
    }
  ReleaseDC(g_app.statusBar, dc);
  return painted;
}

TEST_F(ColouringTest, StatusBarShowsCaretAndKeyStates) {
  std::string text;
  for (int i = 1; i <= 12; ++i) text += "line " + std::to_string(i) + "\r\n";
  HWND edit = Open("caret.asm", text);
  EXPECT_EQ(StatusText(1), " Ln 1, Col 1");
  PumpMessages(50);
  for (int part : {1, 3, 5}) EXPECT_TRUE(PartIsPainted(part)) << "part " << part << " shows nothing on the screen";
  const long line10 = LineIndex(edit, 9);
  SetSelection(edit, line10 + 1, line10 + 3);  // the selection's end counts
  SendMessageA(edit, WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(StatusText(1), " Ln 10, Col 4");
  EXPECT_EQ(StatusText(3), "INS");
  SendMessageA(edit, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_EQ(StatusText(3), "OVR");
  HWND first = g_app.activeDocument;
  Open("other.asm", "x");
  EXPECT_EQ(StatusText(3), "INS") << "each document keeps its own state";
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
  SendMessageA(DocumentTextControl(first), WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(StatusText(3), "OVR");
  EXPECT_EQ(StatusText(2), (GetKeyState(VK_CAPITAL) & 1) ? "CAP" : "");
  EXPECT_EQ(StatusText(4), (GetKeyState(VK_NUMLOCK) & 1) ? "NUM" : "");
}

// Ln/Col, INS/OVR and the line ends follow the active document whatever moves the caret.
TEST_F(ColouringTest, TheStatusBarFollowsTheCaretAfterEveryMove) {
  const std::uint32_t savedTab = g_settings.tabWidth;
  g_settings.tabWidth = 8;
  HWND edit = Open("moves.asm", "\tMVI R0\nfoo\nB x\n");
  HWND window = g_app.activeDocument;
  EXPECT_EQ(StatusText(1), " Ln 1, Col 1");
  EXPECT_EQ(StatusText(5), "LF");
  struct Step {
    const char* name;
    std::function<void()> run;
    const char* position;
  };
  const Step steps[] = {
      {"a tab counts to its stop", [&] { SetSelection(edit, 1, 1); }, " Ln 1, Col 9"},
      {"Find", [&] { SearchDocument(window, "x", kFindDown); }, " Ln 3, Col 4"},
      {"go to a line", [&] { OpenDocumentAtLine(path_, 1); }, " Ln 2, Col 1"},
      {"typing", [&] { Type(edit, "ab"); }, " Ln 2, Col 3"},
      {"Undo", [&] { SendMessageA(edit, EM_UNDO, 0, 0); }, " Ln 2, Col 1"},
      {"Insert, then overtype",
       [&] {
         SendMessageA(edit, WM_KEYDOWN, VK_INSERT, 0);
         Type(edit, "Z");
       },
       " Ln 2, Col 2"},
  };
  for (const Step& step : steps) {
    step.run();
    PumpMessages(0);
    EXPECT_EQ(StatusText(1), step.position) << step.name;
  }
  EXPECT_EQ(TextRange(edit, LineIndex(edit, 1), LineIndex(edit, 1) + 3), "Zoo") << "overtype replaces";
  EXPECT_EQ(StatusText(3), "OVR");
  Type(edit, "12\n");  // at a line end overtype inserts: no line is joined
  EXPECT_EQ(LineCount(edit), 5);

  HWND mixed = Open("mixed.asm", "a\nb\nc\r\n");
  EXPECT_EQ(StatusText(5), "Mixed (LF)");
  Type(mixed, "x");
  SendMessageA(FrameWindow(), WM_COMMAND, IDM_FILE_SAVE, 0);
  EXPECT_EQ(ReadText(path_), "xa\nb\nc\n");
  EXPECT_EQ(StatusText(5), "LF") << "saved in the style shown";

  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SetDocumentChanged(child, false);
  SendMessageA(FrameWindow(), WM_COMMAND, IDM_WINDOW_CLOSEALL, 0);
  for (int part = 1; part <= 5; ++part) EXPECT_EQ(StatusText(part), "") << "no document: part " << part;
  g_settings.tabWidth = savedTab;
}

// A stored face that is not installed gives an installed fixed-pitch face, and a tab reaches
// the column of the Tab Width-th character, in the face and size in use.
TEST_F(ColouringTest, TextShowsInAMonospaceFaceWithTabsInCharacterColumns) {
  const std::string savedName = g_settings.fontName;
  const std::uint32_t savedTab = g_settings.tabWidth;
  g_settings.fontName = "No Such Face At All";
  const std::int32_t savedSize = g_settings.fontSize;
  for (std::uint32_t width : {8u, 4u}) {
    g_settings.tabWidth = width;
    g_settings.fontSize = width == 4 ? 280 : 0;  // the control's own size, then a chosen one
    const std::string digits = std::string("123456789").substr(0, width);
    HWND edit = Open("tabs" + std::to_string(width) + ".asm", "\tX\r\n" + digits + "X\r\n12\tX ; c\r\niiiWWW\r\n");
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_NE(std::string(format.szFaceName), "No Such Face At All");
    // Fixed pitch: "iii" and "WWW" are as wide.
    const long pitch = LineIndex(edit, 3);
    POINT i0{}, w0{}, w3{};
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&i0), pitch);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&w0), pitch + 3);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&w3), pitch + 6);
    EXPECT_EQ(w0.x - i0.x, w3.x - w0.x) << format.szFaceName << " is not fixed-pitch";
    // The X after the tab stands over the X after the digits, in both lines.
    POINT afterTab{}, afterDigits{}, afterShortTab{};
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&afterTab), LineIndex(edit, 0) + 1);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&afterDigits), LineIndex(edit, 1) + width);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&afterShortTab), LineIndex(edit, 2) + 3);
    EXPECT_NEAR(afterTab.x, afterDigits.x, 1) << "tab width " << width;
    EXPECT_NEAR(afterShortTab.x, afterDigits.x, 1) << "tab width " << width;
    EXPECT_NE(ColourLetters(edit).find("|.....ggg|"), std::string::npos) << "colours stay";
  }
  g_settings.fontName = savedName;
  g_settings.tabWidth = savedTab;
  g_settings.fontSize = savedSize;
}

TEST_F(ColouringTest, FontChooserStartsFromTheDocumentsFontAndKeepsColours) {
  const std::string savedName = g_settings.fontName;
  const int savedSize = g_settings.fontSize;
  HWND edit = Open("font.asm", "MVI ; c\r\n");
  HWND other = Open("font2.asm", "B\r\n");
  HWND second = IsDocumentWindow(g_app.activeDocument) ? g_app.activeDocument : nullptr;
  SetTextFont(edit, "DejaVu Sans Mono", 0, 240);
  SetTextFont(DocumentTextControl(second), "DejaVu Sans Mono", 0, 240);
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDOK));
    SendMessageA(FrameWindow(), WM_COMMAND, IDM_TOOLS_FONT, 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(g_settings.fontName, "DejaVu Sans Mono");
  EXPECT_EQ(g_settings.fontSize, 240);
  EXPECT_EQ(g_settings.fontEffects, 0);
  EXPECT_EQ(ColourLetters(edit), "bbbbggg|") << "colours stay";
  EXPECT_EQ(ColourLetters(other), "r|");
  EXPECT_EQ(g_app.activeDocument, GetParent(other));
  {
    DialogAnswerer answerer(DialogAnswerer::Press(IDCANCEL));
    SetTextFont(DocumentTextControl(second), "DejaVu Sans Mono", 0, 300);
    SendMessageA(FrameWindow(), WM_COMMAND, IDM_TOOLS_FONT, 0);
  }
  EXPECT_EQ(g_settings.fontSize, 240) << "Cancel changes nothing";
  g_settings.fontName = savedName;
  g_settings.fontSize = savedSize;
}

TEST_F(ColouringTest, ShippedSyntaxFileLoadsCleanly) {
  const std::string log = folder_ + "\\syntax.err";
  ErrorLog errors([] { return std::string("12/07"); });
  ASSERT_TRUE(errors.Open(log.c_str()));
  SyntaxTable table;
  LoadSyntaxFile(g_settings.exeDirectory + "\\syntax.cfg", table, errors);
  errors.Close();
  EXPECT_EQ(ReadText(log).find("LoadSyntaxFile"), std::string::npos) << ReadText(log);
  for (const char* word : {"MVI", "MVII", "MVO@", "BNEQ", "BEXT", "NOPP", "JSR", "CLRR", "R7", "SP", "PC", "DECLE"})
    EXPECT_NE(table.ColourOf(word), 0u) << word;
}

}  // namespace colouring_test
}  // namespace quillon::test
