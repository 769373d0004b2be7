#include "editor/document_window.h"

#include <richedit.h>
#include <shellapi.h>

#include <vector>

#include "base/full_path.h"
#include "base/recent_lists.h"
#include "base/text_util.h"
#include "editor/caret_and_font.h"
#include "editor/close_question.h"
#include "editor/colouring.h"
#include "editor/document.h"
#include "editor/document_file.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_editing.h"
#include "editor/text_view.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/dropped_file.h"
#include "ui/file_choosers.h"
#include "ui/frame_hooks.h"
#include "ui/window.h"

namespace quillon {

namespace {

constexpr char kOpenFilter[] = "Source and include files (*.asm, *.inc)\0*.inc;*.asm\0ALL files (*.*)\0*.*\0";
constexpr char kSaveFilter[] = "ASM files (*.asm)\0*.asm\0ALL files (*.*)\0*.*\0";
constexpr char kUntitled[] = "untitled";

// Posted to a document window that became active: look whether its file changed on disk.
constexpr UINT kCheckFileMessage = WM_USER + 1;

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

// "path", "path*", "untitled" or "untitled*"; a title too long for the window shows its end.
void SetDocumentTitle(HWND window, const Document& document) {
  std::string title = (document.path.empty() ? std::string(kUntitled) : document.path) + (document.modified ? "*" : "");
  if (title.size() >= kFormatBufferSize) title = "..." + title.substr(title.size() - (kFormatBufferSize - 4));
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
    if (!modified) document->history.MarkSaved();
  }
  if (window == g_app.activeDocument) {
    EnableSave(modified);       // Save follows the active document
    ShowCaretPosition(window);  // a save may have changed the line ends
  }
}

SaveOutcome SaveAs(HWND window);
HWND WindowShowing(const std::string& fullPath);

std::string ChangedOnDiskText(const std::string& path, const char* question) {
  return path + "\nThis file has been changed by another program. " + question;
}

// The file's stamp now, when it differs from the one last read or written.
bool ChangedOnDisk(const Document& document, FileStamp& now) {
  if (document.path.empty() || !document.file.stamp.known) return false;
  now = StampOfFile(document.path);
  return now.known && !(now == document.file.stamp);
}

// Before a save: true unless the file changed on disk and the user keeps it.
bool ConfirmOverwriteOfChangedFile(HWND window, const Document& document) {
  FileStamp now;
  if (!ChangedOnDisk(document, now)) return true;
  const std::string text = ChangedOnDiskText(document.path, "Overwrite it?");
  return MessageBoxA(window, text.c_str(), document.path.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

SaveOutcome Save(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return SaveOutcome::kFailed;
  if (document->path.empty()) return SaveAs(window);
  if (!ConfirmOverwriteOfChangedFile(window, *document)) return SaveOutcome::kCancelled;
  if (!WriteDocumentFile(document->edit, document->path, document->file)) return SaveOutcome::kFailed;
  SetDocumentModified(window, false);
  SetDocumentTitle(window, *document);
  return SaveOutcome::kSaved;
}

// The document takes the new name only when the text was written there.
SaveOutcome SaveAs(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return SaveOutcome::kCancelled;
  std::string path = document->path;
  std::string title;
  if (!ChooseFileToSave(window, g_settings.lastDirectory, kSaveFilter, path, &title, "Save file as..."))
    return SaveOutcome::kCancelled;
  std::string full;
  if (!ResolveFullPath(path, full)) return SaveOutcome::kFailed;
  g_settings.lastDirectory = FolderToRemember(full);
  if (HWND other = WindowShowing(full); other && other != window) {
    const std::string text = full + "\nThis file is open in another window. Save under another name.";
    MessageBoxA(window, text.c_str(), "Save file as...", MB_OK | MB_ICONWARNING);
    return SaveOutcome::kCancelled;
  }
  FileState state = document->file;
  state.stamp = FileStamp{};  // the chooser asked before replacing a file
  if (!WriteDocumentFile(document->edit, full, state)) return SaveOutcome::kFailed;
  SetDocumentPath(*document, full);
  document->file = state;
  SetDocumentModified(window, false);
  SetDocumentTitle(window, *document);
  return SaveOutcome::kSaved;
}

// Loads the file again, keeping the caret where it was as far as the new text allows. A file
// that cannot be read is reported once for this change, not on every activation.
bool ReloadDocument(HWND window, Document& document, const FileStamp& now) {
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const int firstLine = FirstVisibleLine(document.edit);
  if (!ReadDocumentFile(document.edit, document.path, document.file)) {
    if (Document* still = GetDocument(window)) still->declinedStamp = now;
    return false;
  }
  document.beforeChange.lineCount = LineCount(document.edit);
  FitGutter(window, document);
  PlaceTextView(window);
  SetDocumentModified(window, false);
  SetDocumentTitle(window, document);
  SetSelection(document.edit, start, start);
  ScrollLines(document.edit, firstLine - FirstVisibleLine(document.edit));
  return true;
}

// When the file changed on disk: an unchanged document follows it; a changed one asks first.
// Never while a box of ours is up (the frame is disabled then): the check comes again with the
// next activation.
void CheckFileOnDisk(HWND window) {
  static bool asking = false;
  Document* document = GetDocument(window);
  FileStamp now;
  if (asking || !IsWindowEnabled(FrameWindow()) || !document || !document->edit || !ChangedOnDisk(*document, now) ||
      now == document->declinedStamp)
    return;
  if (document->modified) {
    const std::string text = ChangedOnDiskText(document->path, "Reload it and lose your changes?");
    asking = true;
    const int answer = MessageBoxA(window, text.c_str(), document->path.c_str(), MB_YESNO | MB_ICONWARNING);
    asking = false;
    document = GetDocument(window);
    if (!document) return;
    if (answer != IDYES) {
      document->declinedStamp = now;
      return;
    }
  }
  ReloadDocument(window, *document, now);
}

void ReportSaveFailure(HWND window) {
  Document* document = GetDocument(window);
  MessageBoxA(window, "Unable to save file.", document && !document->path.empty() ? document->path.c_str() : kUntitled,
              MB_OK | MB_ICONERROR);
}

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
  SendMessageA(document->edit, EM_SETEVENTMASK, 0,
               ENM_CHANGE | ENM_UPDATE | ENM_SCROLL | ENM_SCROLLEVENTS | ENM_KEYEVENTS | ENM_MOUSEEVENTS |
                   ENM_DROPFILES | ENM_SELCHANGE);
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
  ColourChangedLines(document->edit, document->beforeChange,
                     document->applyingHistory ? nullptr : &document->history.Text());
  GutterAfterChange(window, *document);  // Ln/Col follow with the caret's EN_SELCHANGE
  if (EditorHooks().textChanged) EditorHooks().textChanged(window);
}

// Overtype: a typed character takes the place of the one after the caret, never of a line break.
void OvertypeNextCharacter(Document& document, WPARAM character) {
  if (character < 0x20 || character == 0x7F) return;  // Enter, Tab, Backspace and control keys insert
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  if (start != end || TextRange(document.edit, start, start + 1).find_first_of("\r\n") == 0 ||
      start >= TextLength(document.edit))
    return;
  SetSelection(document.edit, start, start + 1);
  document.beforeChange.selEnd = start + 1;
}

// A file dropped on the text opens as a document, a project file too.
void OnDropFiles(HWND window, HDROP drop) {
  std::string path;
  if (TakeDroppedFile(window, drop, path)) OpenDocumentAtLine(path, -1);
}

bool DocumentWindow::OnNotify(NMHDR* header) {
  HWND window = Handle();
  Document* document = GetDocument(window);
  if (header->code == EN_MSGFILTER && document && header->hwndFrom == document->edit) {
    GetSelection(document->edit, document->beforeChange.selStart, document->beforeChange.selEnd);
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
    OnDropFiles(window, static_cast<HDROP>(reinterpret_cast<ENDROPFILES*>(header)->hDrop));
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

// The document window that shows the file at `fullPath`, or null.
HWND WindowShowing(const std::string& fullPath) {
  FindRequest request{fullPath};
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, MatchDocument, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

// Activates the document window that shows `fullPath`, if there is one.
HWND FindDocumentWindow(const std::string& fullPath) {
  HWND found = WindowShowing(fullPath);
  if (!found) return nullptr;
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(found), 0);
  if (IsIconic(found)) SendMessageA(g_app.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(found), 0);
  return found;
}

void GoToLine(HWND edit, int line) {
  long start = LineIndex(edit, line);
  ScrollLines(edit, line - FirstVisibleLine(edit));
  SetSelection(edit, start, start);
  SetFocus(edit);
}

BOOL CALLBACK SaveOneDocument(HWND window, LPARAM lParam) {
  Document* document = GetDocument(window);
  if (GetParent(window) != g_app.mdiClient || !document || !document->modified) return TRUE;
  if (!SaveDocument(window)) *reinterpret_cast<bool*>(lParam) = false;
  return TRUE;
}

}  // namespace

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

void OpenDocument(HWND mdiClient) {
  std::string path;
  if (!ChooseFileToOpen(mdiClient, g_settings.lastDirectory, kOpenFilter, path, nullptr, "Open file")) return;
  AddRecentFile(path);
  OpenDocumentAtLine(path, -1);
  g_settings.lastDirectory = FolderToRemember(path);
}

bool SaveDocument(HWND window) {
  SaveOutcome outcome = Save(window);
  if (outcome == SaveOutcome::kFailed) ReportSaveFailure(window);
  return outcome == SaveOutcome::kSaved;
}

bool SaveDocumentAs(HWND window) {
  SaveOutcome outcome = SaveAs(window);
  if (outcome == SaveOutcome::kFailed) ReportSaveFailure(window);
  return outcome == SaveOutcome::kSaved;
}

bool SaveAllDocuments(HWND mdiClient) {
  bool allSaved = true;
  if (mdiClient) EnumChildWindows(mdiClient, SaveOneDocument, reinterpret_cast<LPARAM>(&allSaved));
  return SaveOpenProject(FrameWindow()) && allSaved;
}

bool AskToSaveDocument(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return true;
  CloseSteps steps{[window](const char* question) {
                     Document* asked = GetDocument(window);
                     const char* caption = !asked || asked->path.empty() ? kUntitled : asked->path.c_str();
                     const UINT icon = question == kTextChangedQuestion ? 0 : MB_ICONWARNING;
                     switch (MessageBoxA(window, question, caption, MB_YESNOCANCEL | icon)) {
                       case IDYES:
                         return Answer::kYes;
                       case IDNO:
                         return Answer::kNo;
                       default:
                         return Answer::kCancel;
                     }
                   },
                   [window] { return Save(window); }, [window] { return SaveAs(window); }};
  return MayCloseDocument(document->modified, steps);
}

// The document windows, the active one first.
static std::vector<HWND> DocumentWindows(HWND mdiClient) {
  std::vector<HWND> windows;
  if (!mdiClient) return windows;
  HWND active = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
  if (GetDocument(active)) windows.push_back(active);
  for (HWND child = GetWindow(mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (child != active && GetDocument(child)) windows.push_back(child);
  return windows;
}

bool AskToSaveEveryDocument(HWND mdiClient) {
  for (HWND window : DocumentWindows(mdiClient))
    if (IsWindow(window) && !AskToSaveDocument(window)) return false;
  return true;
}

void CheckActiveDocumentFile() {
  if (GetDocument(g_app.activeDocument)) PostMessageA(g_app.activeDocument, kCheckFileMessage, 0, 0);
}

bool CloseAllDocuments(HWND mdiClient) {
  if (!AskToSaveEveryDocument(mdiClient)) return false;
  for (HWND window : DocumentWindows(mdiClient))
    if (IsWindow(window)) SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  return true;
}

bool OpenDocumentAtLine(const std::string& givenPath, int line) {
  std::string path;
  if (!ResolveFullPath(givenPath, path)) {
    MessageBoxA(g_app.mdiClient ? GetParent(g_app.mdiClient) : nullptr, "Unable to open file.", givenPath.c_str(),
                MB_OK | MB_ICONERROR);
    return false;
  }
  HWND window = FindDocumentWindow(path);
  if (!window) {
    g_app.activeDocument = nullptr;
    NewDocument(g_app.mdiClient);
    window = g_app.activeDocument;
    Document* document = GetDocument(window);
    if (!document) {
      ShowCaretPosition(g_app.activeDocument);
      return false;
    }
    if (!ReadDocumentFile(document->edit, path, document->file)) {
      SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return false;
    }
    document->beforeChange.lineCount = LineCount(document->edit);
    SetDocumentPath(*document, path);
    FitGutter(window, *document);
    PlaceTextView(window);
    SetDocumentModified(window, false);
    SetDocumentTitle(window, *document);
    SetFocus(document->edit);
  }
  Document* document = GetDocument(window);
  if (document && document->edit && line != -1) GoToLine(document->edit, line);
  if (document) GutterAfterScroll(window, *document, true);
  ShowCaretPosition(g_app.activeDocument);
  return document != nullptr;
}

bool ReloadUnmodifiedDocument(HWND window) {
  Document* document = GetDocument(window);
  if (!document || document->modified || document->path.empty() || !document->edit) return false;
  return ReloadDocument(window, *document, StampOfFile(document->path));
}

void SetDocumentChanged(HWND window, bool modified) {
  Document* document = GetDocument(window);
  if (!document || document->modified == modified) return;
  SetDocumentModified(window, modified);
  SetDocumentTitle(window, *document);
}

}  // namespace quillon
