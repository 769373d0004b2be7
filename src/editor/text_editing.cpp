#include "editor/text_editing.h"

#include <richedit.h>

#include "editor/change_recorder.h"
#include "editor/document.h"
#include "editor/edit_commands.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "editor/text_view.h"

namespace quillon {

namespace {

// The mouse over the text, for the hover hook; it hears again when the mouse leaves.
void HoverOverText(HWND edit, LPARAM where) {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, edit, 0};
  TrackMouseEvent(&track);
  POINT screen{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  ClientToScreen(edit, &screen);
  HWND window = GetParent(edit);
  EditorHooks().textHover(window, PositionAtScreenPoint(window, screen), screen);
}

LRESULT EditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  Document* document = GetDocument(GetParent(edit));
  if (!document || document->edit != edit) return CallTextControl(edit, message, wParam, lParam);
  switch (message) {
    // The view, not the control, says what shows (text_view.h).
    case EM_GETFIRSTVISIBLELINE:
      return FirstShownLine(GetParent(edit));
    case EM_LINESCROLL:
      ScrollShownLines(GetParent(edit), static_cast<int>(wParam), static_cast<int>(lParam));
      return TRUE;
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ShownTextRect(GetParent(edit));
      return 0;
    case EM_SCROLLCARET:
      document->follow |= kFollowCaret;
      return CallTextControl(edit, message, wParam, lParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      TurnWheel(GetParent(edit), wParam, message == WM_MOUSEHWHEEL);
      return 0;
    case EM_UNDO:
    case WM_UNDO:
      return ApplyStep(GetParent(edit), false);
    case EM_REDO:
      return ApplyStep(GetParent(edit), true);
    case EM_CANUNDO:
      return document->model.history.CanUndo();
    case EM_CANREDO:
      return document->model.history.CanRedo();
    case EM_EMPTYUNDOBUFFER:  // a new text: the history starts from it
      CallTextControl(edit, message, wParam, lParam);
      DropHistory(*document);
      return 0;
    case WM_CONTEXTMENU:
      ShowTextMenu(edit, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      document->model.history.CloseStep();
      break;
    case WM_MOUSELEAVE:
      if (EditorHooks().textHover) EditorHooks().textHover(GetParent(edit), -1, POINT{});
      break;
    case WM_MOUSEMOVE:
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && EditorHooks().textHover) HoverOverText(edit, lParam);
      if (wParam & MK_LBUTTON) {  // a text dragged and dropped inside the move is recorded too
        const LRESULT result = TrackedCall(edit, message, wParam, lParam, false, EditKind::kOther);
        DragOverText(GetParent(edit), lParam);
        return result;
      }
      break;
    case WM_KEYDOWN:
      if (TakeKey(edit, *document, wParam)) return 0;
      switch (wParam) {
        case VK_BACK:
          return TrackedCall(edit, message, wParam, lParam, true, EditKind::kBackspace);
        case VK_DELETE:
          return TrackedCall(edit, message, wParam, lParam, true, EditKind::kDelete);
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
          document->model.history.CloseStep();
          break;
        default:
          break;
      }
      return TrackedCall(edit, message, wParam, lParam, true, EditKind::kOther);
    case WM_CHAR: {
      const char swallow = document->swallowChar;
      document->swallowChar = 0;
      if (swallow && static_cast<char>(wParam) == swallow) return 0;
      if (wParam < ' ' && wParam != '\t' && wParam != '\r') return 0;  // Ctrl+Z, Ctrl+Y, Ctrl+Q...
      return TrackedCall(edit, message, wParam, lParam, true, wParam == '\r' ? EditKind::kLineBreak : EditKind::kTyped);
    }
    case WM_PASTE:
      return PastePlainText(edit, *document, wParam, lParam);
    case EM_REPLACESEL:
      return TrackedReplace(edit, wParam, lParam, EditKind::kOther);
    case WM_CUT:
    case WM_CLEAR:
      return TrackedCall(edit, message, wParam, lParam, true, EditKind::kOther);
    default:
      break;
  }
  // Anything else that changes the text (a drop, input methods) is found by comparing.
  return TrackedCall(edit, message, wParam, lParam, false, EditKind::kOther);
}

int g_messageDepth = 0;

LRESULT CALLBACK EditingProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) return TextControlSubclass().Detach(edit, message, wParam, lParam);  // the last message
  ++g_messageDepth;
  const LRESULT result = EditMessage(edit, message, wParam, lParam);
  // The view follows the caret and the control's scrolling once the control is done, never
  // while it is at work.
  if (g_messageDepth == 1)
    if (Document* document = GetDocument(GetParent(edit)); document && document->edit == edit && document->follow)
      FollowTextControl(GetParent(edit));
  --g_messageDepth;
  return result;
}

}  // namespace

void AttachEditing(HWND edit) {
  // Not twice, and not for a control of another class (it keeps its own undo).
  if (!TextControlSubclass().Attach(edit, &EditingProcedure)) return;
  SendMessageA(edit, EM_SETUNDOLIMIT, 0, 0);
  if (Document* document = GetDocument(GetParent(edit))) DropHistory(*document);
}

}  // namespace quillon
