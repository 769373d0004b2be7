#include "editor/document_window.h"

#include <richedit.h>
#include <shellapi.h>

#include <vector>

#include "base/full_path.h"
#include "base/text_util.h"
#include "editor/caret_and_font.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/document_refresh.h"
#include "editor/document_state.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_editing.h"
#include "editor/text_model.h"
#include "editor/text_view.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/dropped_file.h"
#include "ui/frame_hooks.h"
#include "ui/window.h"

namespace quillon {

namespace {

// The object behind a document window; the window's Document lives in its first extra slot.
class DocumentWindow : public WindowObject {
 public:
  bool OnCreate() override;
  bool OnDestroy() override;
  bool OnClose() override;
  bool OnSize(WPARAM kind, int width, int height) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnNotify(NMHDR* header) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) override {
    return DefMDIChildProcA(Handle(), message, wParam, lParam);
  }
};

bool DocumentWindow::OnCreate() {
  HWND window = Handle();
  auto* document = new Document;
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(document));
  document->edit = CreateTextControl(window);
  if (!document->edit) return true;
  SetEditorFont(document->edit);
  SetTextLimit(document->edit, static_cast<long>(document->textLimitKb) * 1024);
  FitGutter(window, *document);
  AttachEditing(document->edit);
  DragAcceptFiles(document->edit, TRUE);
  SetDocumentEventMask(document->edit);
  return true;
}

bool DocumentWindow::OnDestroy() {
  HWND window = Handle();
  delete GetDocument(window);
  SetWindowLongPtrA(window, 0, 0);
  if (g_app.activeDocument == window) {
    g_app.activeDocument = nullptr;
    EnableSave(false);
    ShowCaretPosition(nullptr);  // empty parts until another document is active
  }
  return true;
}

void OnTextChanged(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return;
  ++document->changeCount;
  if (!document->modified) {
    SetDocumentModified(window, true);
    SetDocumentTitle(window, *document);
  }
  if (!document->edit) return;
  // Inside a recorded change the history still holds the text from before it.
  ColourChangedLines(document->edit, document->model.change,
                     document->applyingHistory ? nullptr : &document->model.history.Text());
  GutterAfterChange(window, *document);  // Ln/Col follow with the caret's EN_SELCHANGE
  // A recorded change is told once it is recorded and the marks have followed it.
  if (document->editDepth == 0 && !document->applyingHistory) NotifyTextChanged(window);
}

// Overtype: a typed character takes the place of the one after the caret, never of a line break.
void OvertypeNextCharacter(Document& document, WPARAM character) {
  if (!OvertypeCanTake(character)) return;  // before reading the selection: most keys are not typed
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  if (!OvertypeTakesNext(character, start == end, TextRange(document.edit, start, start + 1))) return;
  SetSelection(document.edit, start, start + 1);
  document.model.change.selEnd = start + 1;
}

// A file dropped on the text opens as a document, a project file too.
void DroppedOnDocument(HWND window, HDROP drop) {
  std::string path;
  if (TakeDroppedFile(window, drop, path)) OpenDocumentAtLine(path, -1);
}

bool DocumentWindow::OnNotify(NMHDR* header) {
  HWND window = Handle();
  Document* document = GetDocument(window);
  if (header->code == EN_MSGFILTER && document && header->hwndFrom == document->edit) {
    GetSelection(document->edit, document->model.change.selStart, document->model.change.selEnd);
    if (window == g_app.activeDocument) {
      auto* filter = reinterpret_cast<MSGFILTER*>(header);
      if (filter->msg == WM_KEYDOWN && filter->wParam == VK_INSERT && !(GetKeyState(VK_SHIFT) & 0x8000) &&
          !(GetKeyState(VK_CONTROL) & 0x8000))
        document->insertMode = !document->insertMode;
      if (filter->msg == WM_CHAR && !document->insertMode) OvertypeNextCharacter(*document, filter->wParam);
      // These keys change INS/OVR, CAP or NUM; the caret itself reports through EN_SELCHANGE, so a
      // mouse move or a typed letter costs no more status-bar updates.
      if ((filter->msg == WM_KEYDOWN || filter->msg == WM_KEYUP) &&
          (filter->wParam == VK_INSERT || filter->wParam == VK_CAPITAL || filter->wParam == VK_NUMLOCK))
        ShowCaretPosition(window);
    }
  } else if (header->code == EN_SELCHANGE && document && header->hwndFrom == document->edit) {
    document->follow |= kFollowCaret;
    if (window == g_app.activeDocument) ShowCaretLineAndColumn(window);  // Find, Go To, Undo, clicks, keys
  } else if (header->code == EN_DROPFILES && document && header->hwndFrom == document->edit) {
    DroppedOnDocument(window, static_cast<HDROP>(reinterpret_cast<ENDROPFILES*>(header)->hDrop));
  }
  return true;
}

bool DocumentWindow::OnSize(WPARAM kind, int, int) {
  if (kind != SIZE_MINIMIZED) PlaceTextView(Handle());
  return false;
}

bool DocumentWindow::OnClose() {
  if (!AskToSaveDocument(Handle())) return true;  // Cancel: the document stays open
  SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle()), 0);
  return true;
}

bool DocumentWindow::OnCommand(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != kEditControlId) return false;
  if (HIWORD(wParam) == EN_CHANGE) OnTextChanged(Handle());
  // The view follows once the control is done with the message at work.
  if (Document* document = GetDocument(Handle())) {
    if (HIWORD(wParam) == EN_CHANGE) document->follow |= kFollowCaret;
    if (HIWORD(wParam) == EN_UPDATE || HIWORD(wParam) == EN_VSCROLL || HIWORD(wParam) == EN_HSCROLL)
      document->follow |= kFollowScroll;
  }
  // The text gets the focus back, also when no activation message came (a window manager may
  // pass the focus to the IDE without one): look at the file on disk.
  if (HIWORD(wParam) == EN_SETFOCUS) PostMessageA(Handle(), kCheckFileMessage, 0, 0);
  return true;
}

bool DocumentWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
  HWND window = Handle();
  if (message == WM_TIMER && DragTimerTick(window, wParam)) return true;
  if (message == WM_VSCROLL || message == WM_HSCROLL) {
    ScrollTextView(window, message == WM_VSCROLL ? SB_VERT : SB_HORZ, wParam);
    return true;
  }
  if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) {
    TurnWheel(window, wParam, message == WM_MOUSEHWHEEL);
    return true;
  }
  if (message == kCheckFileMessage) {
    CheckFileOnDisk(window);
    return true;
  }
  // The window's focus is its text's: after a dialog closes, or another document closed, the
  // system gives it to the active document window.
  if (message == WM_SETFOCUS) {
    if (Document* document = GetDocument(window); document && document->edit) SetFocus(document->edit);
    return true;
  }
  if (message == WM_LBUTTONDOWN && ClickGutter(window, lParam)) return true;
  if (message == WM_PAINT) {
    PaintGutter(window);
    return true;
  }
  if (message == WM_MDIACTIVATE) {
    if (reinterpret_cast<HWND>(lParam) == window) {
      g_app.activeDocument = window;
      PostMessageA(window, kCheckFileMessage, 0, 0);  // not while activation is under way
    }
    if (Document* active = ActiveDocument()) EnableSave(active->modified);
    ShowCaretPosition(g_app.activeDocument);
  }
  return false;  // the default procedure keeps the MDI menus in step
}

struct FindRequest {
  std::string fullPath;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDocument(HWND window, LPARAM lParam) {
  auto* request = reinterpret_cast<FindRequest*>(lParam);
  if (GetParent(window) != g_app.mdiClient) return TRUE;
  Document* document = GetDocument(window);
  std::string full;
  if (!document || document->path.empty() || !ResolveFullPath(document->path, full)) return TRUE;
  if (!EqualsNoCase(full, request->fullPath)) return TRUE;
  request->found = window;
  return FALSE;
}

}  // namespace

HWND WindowShowing(const std::string& fullPath) {
  FindRequest request{fullPath};
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, MatchDocument, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

void SetDocumentTitle(HWND window, const Document& document) {
  const std::string title = DocumentTitle(document.path, document.modified, kFormatBufferSize);
  SetWindowTextA(window, title.c_str());
  // The Window menu lists the documents under their titles; this control does not follow a new title.
  if (HWND client = GetParent(window)) {
    SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
    DrawMenuBar(GetParent(client));
  }
}

void SetDocumentModified(HWND window, bool modified) {
  if (Document* document = GetDocument(window)) {
    document->modified = modified;
    if (!modified) document->model.history.MarkSaved();
  }
  if (window == g_app.activeDocument) {
    EnableSave(modified);       // Save follows the active document
    ShowCaretPosition(window);  // a save may have changed the line ends
  }
}

Document* GetDocument(HWND window) {
  if (!WindowObject::Of<DocumentWindow>(window)) return nullptr;
  return reinterpret_cast<Document*>(GetWindowLongPtrA(window, 0));
}

Document* ActiveDocument() { return GetDocument(g_app.activeDocument); }

void SetDocumentPath(Document& document, const std::string& path) {
  document.path = path;
  document.baseName = BaseNameOf(path);
}

bool RegisterDocumentClass(HINSTANCE instance) {
  WindowClassSpec spec;
  spec.name = kDocumentClass;
  spec.procedure = WindowObject::ClassProcedure<DocumentWindow>;
  spec.background = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
  spec.extraBytes = kDocumentWindowExtraBytes;
  return RegisterWindowClass(instance, spec);
}

void NewDocument(HWND mdiClient) {
  HWND window = CreateMDIWindowA(kDocumentClass, kUntitled, WS_MAXIMIZE | WS_VSCROLL | WS_HSCROLL, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mdiClient, g_app.instance, 0);
  if (!window) return;
  ShowWindow(window, SW_SHOW);
  if (Document* document = GetDocument(window); document && document->edit) SetFocus(document->edit);
}

void SetDocumentChanged(HWND window, bool modified) {
  Document* document = GetDocument(window);
  if (!document || document->modified == modified) return;
  SetDocumentModified(window, modified);
  SetDocumentTitle(window, *document);
}

void RefreshDocument(HWND window, unsigned what) {
  Document* document = GetDocument(window);
  if (!document || !document->edit) return;
  if (what & kRefreshLayout) PlaceTextView(window);
  if (what & kRefreshFollow) {
    document->follow |= kFollowCaret;
    FollowTextControl(window);
  }
  if (what & kRefreshGutter) GutterAfterScroll(window, *document, true);
  if ((what & kRefreshCaret) && window == g_app.activeDocument) ShowCaretLineAndColumn(window);
  if (what & kRefreshSavedState) SetDocumentChanged(window, !document->model.history.AtSaved());
  if (what & kRefreshCaretState) ShowCaretPosition(window);
}

}  // namespace quillon
