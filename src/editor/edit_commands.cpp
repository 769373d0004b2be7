#include "editor/edit_commands.h"

#include <richedit.h>

#include <cstring>
#include <new>
#include <string>

#include "editor/caret_and_font.h"
#include "editor/change_recorder.h"
#include "editor/document.h"
#include "editor/key_table.h"
#include "editor/line_edits.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "resource.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

constexpr int kOutdentWidth = 8;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// A paste past the text limit would be cut short without a word: the limit grows to hold it,
// with the usual room to type on, as it does for a file that is opened.
void MakeRoomFor(Document& document, const std::string& text) {
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const long long after =
      static_cast<long long>(TextLength(document.edit)) - (end - start) + static_cast<long long>(text.size());
  if (after + kTextRoom > 0x7FFFFFFE || after <= TextLimit(document.edit)) return;
  if (const long limit = EnsureTextLimit(document.edit, after))
    document.textLimitKb = static_cast<int>((limit + 1023) / 1024);
}

// The clipboard's text; false when it holds none or cannot be opened.
bool ClipboardText(HWND owner, std::string& text) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
      try {
        text.assign(chars, strnlen(chars, GlobalSize(data)));
        ok = true;
      } catch (const std::bad_alloc&) {
        ok = false;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

// The whole lines the selection touches: [first, end) of the text, without the last break.
void SelectedLines(HWND edit, long& first, long& end) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  const int firstLine = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart));
  int lastLine = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selEnd));
  if (selEnd > selStart && lastLine > firstLine && LineIndex(edit, lastLine) == selEnd) --lastLine;
  first = LineIndex(edit, firstLine);
  const long lastStart = LineIndex(edit, lastLine);
  end = lastStart + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lastStart, 0));
}

bool SpansLines(HWND edit) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  return SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart) != SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selEnd);
}

// Replaces the selected lines by `change` of them, as one step, and selects them.
template <typename Change>
void ChangeSelectedLines(HWND edit, Change change) {
  long first = 0, end = 0;
  SelectedLines(edit, first, end);
  const std::string lines = TextRange(edit, first, end);
  const std::string changed = change(lines);
  if (changed == lines) return;
  SetSelection(edit, first, end);
  ReplaceSelection(edit, changed, EditKind::kOther);
  SetSelection(edit, first, first + static_cast<long>(changed.size()));
}

// Enter: a line break and the blanks that start the line it breaks.
void BreakLine(HWND edit) {
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  const long lineStart = LineIndex(edit, static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, selStart)));
  ReplaceSelection(edit, "\r" + LeadingBlanks(TextRange(edit, lineStart, selStart)), EditKind::kLineBreak);
}

}  // namespace

bool TakeKey(HWND edit, Document& document, WPARAM key) {
  document.swallowChar = 0;
  if (!KeyInTable(static_cast<unsigned>(key))) return false;
  KeyContext context{KeyDown(VK_CONTROL), KeyDown(VK_SHIFT), KeyDown(VK_MENU)};
  context.selectionSpansLines = key == VK_TAB && SpansLines(edit);
  context.readOnly = (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0;
  const KeyCommand command = CommandForKey(static_cast<unsigned>(key), context);
  HWND window = GetParent(edit);
  switch (command) {
    case KeyCommand::kNone:
      return false;
    case KeyCommand::kPageUp:
    case KeyCommand::kPageDown:
      document.model.history.CloseStep();
      PageTextView(window, command == KeyCommand::kPageDown);
      break;
    case KeyCommand::kUndo:
    case KeyCommand::kRedo:
      ApplyStep(window, command == KeyCommand::kRedo);
      break;
    case KeyCommand::kSelectAll:
      RunEditCommand(window, IDM_EDIT_SELECTALL);
      break;
    case KeyCommand::kCopy:
      RunEditCommand(window, IDM_EDIT_COPY);
      break;
    case KeyCommand::kCut:
      RunEditCommand(window, IDM_EDIT_CUT);
      break;
    case KeyCommand::kPaste:
      RunEditCommand(window, IDM_EDIT_PASTE);
      break;
    case KeyCommand::kToggleComments:
      ChangeSelectedLines(edit, ToggleLineComments);
      break;
    case KeyCommand::kIndent:
      ChangeSelectedLines(edit, IndentLines);
      break;
    case KeyCommand::kOutdent:
      ChangeSelectedLines(edit, [](const std::string& lines) { return OutdentLines(lines, kOutdentWidth); });
      break;
    case KeyCommand::kBreakLine:
      BreakLine(edit);
      break;
  }
  document.swallowChar = CharacterOfTakenKey(command);
  return true;
}

LRESULT PastePlainText(HWND edit, Document& document, WPARAM wParam, LPARAM lParam) {
  if (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) return 0;
  std::string text;
  if (!ClipboardText(edit, text)) return TrackedCall(edit, WM_PASTE, wParam, lParam, true, EditKind::kOther);
  MakeRoomFor(document, text);
  ReplaceSelection(edit, text, EditKind::kOther);
  return 0;
}

void ShowTextMenu(HWND edit, LPARAM where) {
  HWND window = GetParent(edit);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEXTMENU));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == static_cast<LPARAM>(-1)) {  // from the keyboard: at the caret
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), end);
    ClientToScreen(edit, &at);
  }
  EnableEditCommands(popup, window);
  const int command = static_cast<int>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
  DestroyMenu(menu);
  // Commands of other menus (Go to Definition) go to the frame.
  if (command && !RunEditCommand(window, command) && g_app.mdiClient)
    SendMessageA(GetParent(g_app.mdiClient), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

bool RunEditCommand(HWND window, int command) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return false;
  HWND edit = document->edit;
  switch (command) {
    case IDM_EDIT_UNDO:
      ApplyStep(window, false);
      break;
    case IDM_EDIT_REDO:
      ApplyStep(window, true);
      break;
    case IDM_EDIT_CUT:
      SendMessageA(edit, WM_CUT, 0, 0);
      break;
    case IDM_EDIT_COPY:
      SendMessageA(edit, WM_COPY, 0, 0);
      break;
    case IDM_EDIT_PASTE:
      SendMessageA(edit, WM_PASTE, 0, 0);
      break;
    case IDM_EDIT_DELETE:
      SendMessageA(edit, WM_CLEAR, 0, 0);
      break;
    case IDM_EDIT_SELECTALL:
      SetSelection(edit, 0, -1);
      break;
    default:
      return false;
  }
  ShowCaretPosition(window);
  return true;
}

void EnableEditCommands(HMENU menu, HWND window) {
  if (!menu) return;
  Document* document = GetDocument(window);
  HWND edit = document ? document->edit : nullptr;
  long start = 0, end = 0;
  if (edit) GetSelection(edit, start, end);
  const bool selected = end > start;
  const struct {
    int command;
    bool enabled;
  } items[] = {
      {IDM_EDIT_UNDO, edit && document->model.history.CanUndo()},
      {IDM_EDIT_REDO, edit && document->model.history.CanRedo()},
      {IDM_EDIT_CUT, selected},
      {IDM_EDIT_COPY, selected},
      {IDM_EDIT_PASTE, edit && SendMessageA(edit, EM_CANPASTE, 0, 0) != 0},
      {IDM_EDIT_DELETE, selected},
      {IDM_EDIT_SELECTALL, edit && TextLength(edit) > 0},
  };
  for (const auto& item : items)
    EnableMenuItem(menu, static_cast<UINT>(item.command), MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace quillon
