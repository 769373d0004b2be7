#include "editor/colouring.h"

#include <richedit.h>

#include <algorithm>
#include <new>
#include <vector>

#include "editor/line_recolour.h"
#include "editor/syntax_colours.h"
#include "editor/text_control.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

CHARFORMATA SelectionFormat(HWND edit, DWORD mask) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = mask;
  SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

// Colours the selected range unless all of it already has the colour; true when it had.
bool ColourSelection(HWND edit, Colour colour) {
  CHARFORMATA now = SelectionFormat(edit, CFM_COLOR);
  if ((now.dwMask & CFM_COLOR) && !(now.dwEffects & CFE_AUTOCOLOR) && now.crTextColor == colour) return true;
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.crTextColor = colour;
  SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return false;
}

// Colours one line. Runs wholly before [changeFrom, changeTo] kept their colours; after it, a
// change can only have moved the comment's start, which recolours every later run alike: once
// two later runs already have their colours, the rest have too (a long line stays cheap).
void ColourOneLine(HWND edit, int line, long changeFrom, long changeTo, std::vector<ColourRun>& runs) {
  const long start = LineIndex(edit, line);
  if (start < 0) return;
  const long length = static_cast<long>(SendMessageA(edit, EM_LINELENGTH, start, 0));
  const std::string text = TextRange(edit, start, start + length);
  LineRuns(text, g_syntaxTable, runs);
  const bool partly = changeFrom >= 0;
  int unchangedAfter = 0;
  for (const ColourRun& run : runs) {
    const long runStart = start + static_cast<long>(run.start), runEnd = start + static_cast<long>(run.end);
    if (partly && runEnd < changeFrom - 1) continue;
    SetSelection(edit, runStart, runEnd);
    const bool unchanged = ColourSelection(edit, run.colour);
    if (partly && runStart > changeTo + 1 && unchanged && ++unchangedAfter == 2) break;
  }
}

// A change within one line whose start and length are known: only the characters whose colour
// it changes are coloured, and the selection moves only for them. The line is found in the text
// before the change, so that the control is asked for nothing but the new line (each question
// that takes an offset walks the text from its start under Wine). False when the change is not
// within one line or the line does not agree with the text before it: it is then coloured the
// usual way.
bool ColourChangeInLine(HWND edit, const Change& before, long caret, const std::string& textBefore) {
  static const bool singleByte = [] {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;  // character offsets are byte offsets
  }();
  const long changeStart = std::min(before.selStart, caret);
  const long oldLength = static_cast<long>(textBefore.size());
  const long inserted = caret - changeStart;
  const long removed = oldLength - TextLength(edit) + inserted;
  if (!singleByte || changeStart < 0 || removed < 0 || changeStart + removed > oldLength) return false;
  const auto at = static_cast<std::size_t>(changeStart);
  const std::size_t lineStart = at == 0 ? 0 : textBefore.find_last_of("\r\n", at - 1) + 1;  // npos + 1 is 0
  const std::size_t lineEnd = std::min(textBefore.find_first_of("\r\n", at), textBefore.size());
  if (lineEnd < at + static_cast<std::size_t>(removed)) return false;  // a line break went
  const std::string_view oldLine(textBefore.data() + lineStart, lineEnd - lineStart);
  const long newLength = static_cast<long>(oldLine.size()) - removed + inserted;
  const long from = static_cast<long>(lineStart);
  const std::string newLine = TextRange(edit, from, from + newLength);
  if (static_cast<long>(newLine.size()) != newLength || newLine.find_first_of("\r\n") != std::string::npos)
    return false;
  // A typed character shows the colour of the insertion point, right before the caret.
  std::optional<Colour> insertedColour;
  if (inserted == 1) {
    const CHARFORMATA now = SelectionFormat(edit, CFM_COLOR);
    if ((now.dwMask & CFM_COLOR) && !(now.dwEffects & CFE_AUTOCOLOR)) insertedColour = now.crTextColor;
  }
  std::vector<ColourRun> runs;
  const LineSpanChange change{at - lineStart, static_cast<std::size_t>(removed), static_cast<std::size_t>(inserted)};
  if (!RunsToRecolour(oldLine, newLine, change, insertedColour, g_syntaxTable, runs)) return false;
  if (runs.empty()) return true;
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  ScopedEventMask quiet(edit);
  for (const ColourRun& run : runs) {
    SetSelection(edit, from + static_cast<long>(run.start), from + static_cast<long>(run.end));
    ColourSelection(edit, run.colour);
  }
  SetSelection(edit, selStart, selEnd);
  return true;
}

RtfFont FontOf(const CHARFORMATA& font) {
  return {font.szFaceName, font.yHeight % 10 == 0 ? static_cast<int>(font.yHeight) : 0,
          static_cast<unsigned>(font.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE)), font.bCharSet};
}

// The control's font and tab stops (at the selection) as the RTF gives them; `height` is the
// control's height, which the RTF can only give in whole half-points.
RtfFont ControlRtfFont(HWND edit, LONG& height) {
  const CHARFORMATA font =
      SelectionFormat(edit, CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_CHARSET);
  RtfFont rtfFont = FontOf(font);
  PARAFORMAT paragraph{};
  paragraph.cbSize = sizeof paragraph;
  SendMessageA(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
  if ((paragraph.dwMask & PFM_TABSTOPS) && paragraph.cTabCount > 0) rtfFont.tabTwips = paragraph.rgxTabs[0] & 0xFFFFFF;
  height = font.yHeight;
  return rtfFont;
}

// Gives the selection a height the RTF could not express.
void FitHeight(HWND edit, LONG height, DWORD range) {
  if (height % 10 == 0) return;
  CHARFORMATA size{};
  size.cbSize = sizeof size;
  size.dwMask = CFM_SIZE;
  size.yHeight = height;
  SendMessageA(edit, EM_SETCHARFORMAT, range, reinterpret_cast<LPARAM>(&size));
}

bool PutText(HWND edit, const std::string& text) {
  if (text.find('\0') != std::string::npos) {
    // RTF cannot carry a NUL byte: plain text, then colour line by line.
    const bool ok = StreamIn(edit, text, SF_TEXT);
    ColourLines(edit, 0, LineCount(edit) - 1);
    return ok;
  }
  // The font of the empty control goes into the RTF: setting it afterwards would cost as much
  // again as the whole load.
  LONG height = 0;
  const RtfFont font = ControlRtfFont(edit, height);
  const bool ok = StreamIn(edit, ColouredRtf(text, g_syntaxTable, font, GetACP()), SF_RTF);
  FitHeight(edit, height, SCF_ALL);
  return ok;
}

// The text as the control holds it: each CR LF, lone CR and lone LF one "\r".
std::string ControlForm(const std::string& text) {
  std::string form;
  form.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    form += text[i] == '\n' ? '\r' : text[i];
  }
  return form;
}

}  // namespace

COLORREF GetKeywordColour(const char* word) { return word ? g_syntaxTable.ColourOf(word) : 0; }

bool PutColouredText(HWND edit, const std::string& text) {
  if (!edit) return false;
  ScopedEventMask quiet(edit);
  bool ok = false;
  try {
    ok = PutText(edit, text);
  } catch (const std::bad_alloc&) {  // no room for the coloured copy: the control keeps nothing
    SetWindowTextA(edit, "");
  }
  SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  return ok;
}

bool ReplaceSelectionColoured(HWND edit, const std::string& text) {
  if (!edit) return false;
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  const long lengthBefore = TextLength(edit);
  const std::string expected = ControlForm(text);
  // The trailing line breaks go in as plain text: how a control reads a last paragraph mark of
  // RTF put into a selection is its own.
  const std::size_t body = expected.find_last_not_of('\r') + 1;  // npos + 1 is 0: breaks only
  ScopedEventMask quiet(edit);
  bool coloured = false;
  if (text.find('\0') == std::string::npos && body > 0) {
    try {
      LONG height = 0;
      const RtfFont font = ControlRtfFont(edit, height);
      coloured =
          StreamIn(edit, ColouredRtf(expected.substr(0, body), g_syntaxTable, font, GetACP()), SF_RTF | SFF_SELECTION);
      const long end = TextLength(edit) - lengthBefore + selEnd;
      if (height % 10 != 0) {
        SetSelection(edit, selStart, end);
        FitHeight(edit, height, SCF_SELECTION);
      }
      SetSelection(edit, end, end);
    } catch (const std::bad_alloc&) {
      coloured = false;
    }
  }
  const std::string breaks = expected.substr(body);
  if (!breaks.empty()) SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(breaks.c_str()));
  // The control must hold exactly the text, as a plain replacement would have put it.
  const long end = TextLength(edit) - lengthBefore + selEnd;
  if (!coloured || end < selStart || TextRange(edit, selStart, end) != expected) {
    coloured = false;
    SetSelection(edit, selStart, std::max(selStart, end));
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  return coloured;
}

void ColourLines(HWND edit, int first, int last, long changeFrom, long changeTo) {
  if (!edit) return;
  first = std::max(first, 0);
  last = std::min(last, LineCount(edit) - 1);
  if (last < first) return;
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  POINT scroll{};
  const bool manyLines = last > first;
  if (manyLines) {
    scroll = ScrollPosition(edit);
    SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
  }
  {
    ScopedEventMask quiet(edit);
    std::vector<ColourRun> runs;
    for (int line = first; line <= last; ++line) ColourOneLine(edit, line, changeFrom, changeTo, runs);
    SetSelection(edit, selStart, selEnd);
  }
  if (manyLines) {
    SetScrollPosition(edit, scroll);
    SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE);
  }
}

void ColourChangedLines(HWND edit, Change& before, const std::string* textBefore) {
  if (!edit) return;
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  const int lineCount = LineCount(edit);
  if (before.exact && textBefore && start == end && lineCount == before.lineCount &&
      ColourChangeInLine(edit, before, start, *textBefore)) {
    before = {start, end, lineCount};
    return;
  }
  const auto lineOf = [edit](long at) { return static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, at)); };
  for (const LinesToColour& lines : ChooseLinesToColour(before, start, end, lineCount, lineOf))
    ColourLines(edit, lines.first, lines.last, lines.from, lines.to);
  before = {start, end, lineCount};
}

}  // namespace quillon
