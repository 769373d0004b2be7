#include "editor/editor.h"

#include <richedit.h>

#include <algorithm>
#include <optional>

#include "editor/document.h"
#include "editor/document_lines.h"
#include "editor/go_to_line.h"
#include "editor/text_control.h"
#include "editor/text_model.h"

namespace quillon {

namespace {

// The document of a window that has a text control, or null.
Document* WithText(HWND window) {
  Document* document = GetDocument(window);
  return document && document->edit ? document : nullptr;
}

}  // namespace

bool IsDocumentWindow(HWND window) { return GetDocument(window) != nullptr; }

std::string DocumentPath(HWND window) {
  const Document* document = GetDocument(window);
  return document ? document->path : std::string();
}

std::string DocumentBaseName(HWND window) {
  const Document* document = GetDocument(window);
  return document ? document->baseName : std::string();
}

bool DocumentModified(HWND window) {
  const Document* document = GetDocument(window);
  return document && document->modified;
}

HWND DocumentTextControl(HWND window) {
  const Document* document = GetDocument(window);
  return document ? document->edit : nullptr;
}

std::string DocumentText(HWND window) {
  const Document* document = WithText(window);
  if (!document) return {};
  // The history holds the text unless a failure made it start again from nothing.
  const std::string& known = document->model.history.Text();
  if (static_cast<long>(known.size()) == TextLength(document->edit)) return known;
  return TextRange(document->edit, 0, TextLength(document->edit));
}

bool DocumentSelection(HWND window, long& start, long& end) {
  const Document* document = WithText(window);
  if (!document) return false;
  GetSelection(document->edit, start, end);
  return true;
}

long DocumentCaret(HWND window) {
  const Document* document = WithText(window);
  if (!document) return -1;
  long start = 0, end = 0;
  GetSelection(document->edit, start, end);
  SelectionTrack track = document->selection;
  return FollowSelection(track, start, end);
}

int DocumentLineOf(HWND window, long position) {
  Document* document = WithText(window);
  return document ? DocumentLines(*document).LineOf(position) : -1;
}

long DocumentLineStart(HWND window, int line) {
  Document* document = WithText(window);
  return document ? DocumentLines(*document).StartOf(line) : -1;
}

bool ReplaceDocumentRange(HWND window, long start, long end, const std::string& text) {
  Document* document = WithText(window);
  if (!document) return false;
  HWND edit = document->edit;
  const long length = TextLength(edit);
  if (start < 0 || end < start || end > length || (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY)) return false;
  const long long after = static_cast<long long>(length) - (end - start) + static_cast<long long>(text.size());
  if (after > TextLimit(edit)) return false;
  SetSelection(edit, start, end);
  // The text's own procedure records the step and colours the lines from this span.
  document->model.change.selStart = start;
  document->model.change.selEnd = end;
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

bool ReplaceDocumentRanges(HWND window, const std::vector<RangeReplacement>& ranges) {
  Document* document = WithText(window);
  if (!document) return false;
  HWND edit = document->edit;
  const long length = TextLength(edit);
  if (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) return false;
  long long after = length;
  long previousEnd = 0;
  for (const RangeReplacement& r : ranges) {
    if (r.start < previousEnd || r.end < r.start || r.end > length) return false;
    after += static_cast<long long>(r.text.size()) - (r.end - r.start);
    previousEnd = r.end;
  }
  if (after > TextLimit(edit)) return false;
  if (ranges.empty()) return true;
  std::vector<int> marked;
  for (const LineMarks* marks : {&BuildMarks(), &DebugMarks()})
    if (const std::vector<LineMark>* found = marks->For(document->path))
      for (const LineMark& mark : *found) marked.push_back(mark.line);
  // Close ranges are joined with the text between them. That text is read by the control's
  // positions, which under a double-byte code page count characters, not bytes: a text with
  // two-byte characters keeps its ranges apart.
  const std::string& known = document->model.Text();
  const bool bytesArePositions = TextByteLength(edit) == length;
  const std::vector<RangeReplacement> pieces =
      !bytesArePositions
          ? ranges
          : JoinCloseRanges(static_cast<long>(known.size()) == length ? known : TextRange(edit, 0, length), ranges,
                            marked);
  const HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  DWORD painted = GetTickCount();
  document->model.history.BeginGroup();
  std::optional<ScopedRedrawOff> quiet(std::in_place, edit);
  // From the last range back, so that the positions of the ranges before stay as they were.
  for (auto r = pieces.rbegin(); r != pieces.rend(); ++r) {
    SetSelection(edit, r->start, r->end);
    document->model.change.selStart = r->start;
    document->model.change.selEnd = r->end;
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(r->text.c_str()));
    // The windows repaint as it goes (nothing else is taken from the queue).
    if (GetTickCount() - painted >= 100) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&message);
      painted = GetTickCount();
    }
    document = GetDocument(window);
    if (!document) break;  // a hook closed the window
  }
  quiet.reset();
  if (document) {
    document->model.history.EndGroup();
    // The caret after the last replacement, as after one replacement, in view.
    const long caret = static_cast<long>(after) - (length - ranges.back().end);
    SetSelection(edit, caret, caret);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    InvalidateRect(window, nullptr, TRUE);  // the gutter
  }
  SetCursor(previous);
  return true;
}

void SelectDocumentRange(HWND window, long start, long end) {
  const Document* document = WithText(window);
  if (!document) return;
  SetSelection(document->edit, start, end);
  SendMessageA(document->edit, EM_SCROLLCARET, 0, 0);
  SetFocus(document->edit);
}

void PutCaretAtLine(HWND window, int line) {
  Document* document = WithText(window);
  if (!document) return;
  const DocumentLines lines(*document);
  const long at = lines.StartOf(std::clamp(line, 0, std::max(0, lines.Count() - 1)));
  SetSelection(document->edit, at, at);
  SendMessageA(document->edit, EM_SCROLLCARET, 0, 0);
}

void ShowDocumentLine(HWND window, int line, bool selectLine) {
  if (const Document* document = WithText(window)) ShowLineCentred(document->edit, line, selectLine);
}

bool CaretScreenPoint(HWND window, POINT& at, int& lineHeight) {
  const Document* document = WithText(window);
  if (!document) return false;
  POINTL caret{};
  SendMessageA(document->edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), DocumentCaret(window));
  at = {caret.x, caret.y};
  ClientToScreen(document->edit, &at);
  lineHeight = static_cast<int>(document->lineHeight);
  return true;
}

long PositionAtScreenPoint(HWND window, POINT screen) {
  const Document* document = WithText(window);
  if (!document) return -1;
  // Only the part of the window that shows text counts: not the gutter, not past the window.
  POINT inWindow = screen;
  ScreenToClient(window, &inWindow);
  RECT client{};
  GetClientRect(window, &client);
  if (inWindow.x < document->gutterWidth || !PtInRect(&client, inWindow)) return -1;
  POINT inText = screen;
  ScreenToClient(document->edit, &inText);
  POINTL asked{inText.x, inText.y};
  const long position =
      static_cast<long>(SendMessageA(document->edit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&asked)));
  if (position < 0) return -1;
  // The control gives the nearest character: below the last line or past a line's end is off the text.
  POINTL found{};
  SendMessageA(document->edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&found), position);
  if (inText.y < found.y || inText.y >= found.y + document->lineHeight || inText.x > found.x + 2 * document->charWidth)
    return -1;
  return position;
}

EditorHookSet& EditorHooks() {
  static EditorHookSet hooks;
  return hooks;
}

void NotifyGutterClick(HWND window, int line) {
  const auto listeners = EditorHooks().gutterClick;  // a listener may change the set
  for (const auto& [name, listener] : listeners)
    if (listener) listener(window, line);
}

void NotifyTextChanged(HWND window) {
  const auto listeners = EditorHooks().textChanged;
  for (const auto& [name, listener] : listeners)
    if (listener) listener(window);
}

LineMarks& DebugMarks() {
  static LineMarks marks;
  return marks;
}

}  // namespace quillon
