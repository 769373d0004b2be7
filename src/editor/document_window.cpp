#include "editor/document_window.h"

#include <richedit.h>
#include <shellapi.h>

#include "base/full_path.h"
#include "base/recent_lists.h"
#include "base/text_util.h"
#include "editor/document.h"
#include "editor/document_file.h"
#include "editor/text_control.h"
#include "ui/app_state.h"
#include "ui/dropped_file.h"
#include "ui/file_choosers.h"
#include "ui/frame_hooks.h"

namespace quillon {

namespace {

constexpr char kOpenFilter[] = "Source and include files (*.asm, *.inc)\0*.inc;*.asm\0ALL files (*.*)\0*.*\0";
constexpr char kSaveFilter[] = "ASM files (*.asm)\0*.asm\0ALL files (*.*)\0*.*\0";
constexpr char kUntitled[] = "untitled";

enum class SaveOutcome { kSaved, kCancelled, kFailed };

// "path", "path*", "untitled" or "untitled*"; a title too long for the window shows its end.
void SetDocumentTitle(HWND window, const Document& document) {
  std::string title = (document.path.empty() ? std::string(kUntitled) : document.path) + (document.modified ? "*" : "");
  if (title.size() >= kFormatBufferSize) title = "..." + title.substr(title.size() - (kFormatBufferSize - 4));
  SetWindowTextA(window, title.c_str());
}

void SetDocumentModified(HWND window, bool modified) {
  if (Document* document = GetDocument(window)) document->modified = modified;
  EnableSave(modified);
}

SaveOutcome SaveAs(HWND window);

SaveOutcome Save(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return SaveOutcome::kFailed;
  if (document->path.empty()) return SaveAs(window);
  if (!WriteDocumentFile(document->edit, document->path)) return SaveOutcome::kFailed;
  SetDocumentModified(window, false);
  SetDocumentTitle(window, *document);
  return SaveOutcome::kSaved;
}

SaveOutcome SaveAs(HWND window) {
  Document* document = GetDocument(window);
  if (!document) return SaveOutcome::kCancelled;
  std::string path = document->path;
  std::string title;
  if (!ChooseFileToSave(window, g_settings.lastDirectory, kSaveFilter, path, &title, "Save file as..."))
    return SaveOutcome::kCancelled;
  SetDocumentPath(*document, path);
  g_settings.lastDirectory = FolderToRemember(path);
  return Save(window);
}

void ReportSaveFailure(HWND window) {
  Document* document = GetDocument(window);
  MessageBoxA(window, "Unable to save file.", document && !document->path.empty() ? document->path.c_str() : kUntitled,
              MB_OK | MB_ICONERROR);
}

void OnCreate(HWND window) {
  auto* document = new Document;
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(document));
  document->edit = CreateTextControl(window);
  if (!document->edit) return;
  SetTextFont(document->edit, g_settings.fontName, g_settings.fontEffects, g_settings.fontSize);
  SetTextLimit(document->edit, static_cast<long>(document->textLimitKb) * 1024);
  DragAcceptFiles(document->edit, TRUE);
  SendMessageA(document->edit, EM_SETEVENTMASK, 0,
               ENM_CHANGE | ENM_UPDATE | ENM_SCROLLEVENTS | ENM_KEYEVENTS | ENM_MOUSEEVENTS | ENM_DROPFILES);
}

void OnDestroy(HWND window) {
  delete GetDocument(window);
  SetWindowLongPtrA(window, 0, 0);
  if (g_app.activeDocument == window) {
    g_app.activeDocument = nullptr;
    EnableSave(false);
  }
}

void OnTextChanged(HWND window) {
  Document* document = GetDocument(window);
  if (!document || document->modified) return;
  SetDocumentModified(window, true);
  SetDocumentTitle(window, *document);
}

// A file dropped on the text opens as a document, a project file too.
void OnDropFiles(HWND window, HDROP drop) {
  std::string path;
  if (TakeDroppedFile(window, drop, path)) OpenDocumentAtLine(path, -1);
}

LRESULT OnNotify(HWND window, NMHDR* header) {
  Document* document = GetDocument(window);
  if (header->code == EN_MSGFILTER && window == g_app.activeDocument && document) {
    auto* filter = reinterpret_cast<MSGFILTER*>(header);
    if (filter->msg == WM_KEYDOWN && filter->wParam == VK_INSERT) document->insertMode = !document->insertMode;
  } else if (header->code == EN_DROPFILES && document && header->hwndFrom == document->edit) {
    OnDropFiles(window, static_cast<HDROP>(reinterpret_cast<ENDROPFILES*>(header)->hDrop));
  }
  return 0;
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

// Activates the document window that shows `path`, if there is one.
HWND FindDocumentWindow(const std::string& path) {
  FindRequest request;
  if (!g_app.mdiClient || !ResolveFullPath(path, request.fullPath)) return nullptr;
  EnumChildWindows(g_app.mdiClient, MatchDocument, reinterpret_cast<LPARAM>(&request));
  if (!request.found) return nullptr;
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(request.found), 0);
  if (IsIconic(request.found)) SendMessageA(g_app.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(request.found), 0);
  return request.found;
}

void GoToLine(HWND edit, int line) {
  long start = LineIndex(edit, line);
  ScrollLines(edit, line - FirstVisibleLine(edit));
  SetSelection(edit, start, start);
  SetFocus(edit);
}

BOOL CALLBACK SaveOneDocument(HWND window, LPARAM lParam) {
  if (GetParent(window) != g_app.mdiClient || !GetDocument(window)) return TRUE;
  if (!SaveDocument(window)) *reinterpret_cast<bool*>(lParam) = false;
  return TRUE;
}

}  // namespace

Document* GetDocument(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  char cls[32] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (!EqualsNoCase(cls, kDocumentClass)) return nullptr;
  return reinterpret_cast<Document*>(GetWindowLongPtrA(window, 0));
}

Document* ActiveDocument() { return GetDocument(g_app.activeDocument); }

void SetDocumentPath(Document& document, const std::string& path) {
  document.path = path;
  document.baseName = BaseNameOf(path);
}

LRESULT CALLBACK DocumentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_SIZE:
      if (Document* document = GetDocument(window); document && document->edit)
        MoveWindow(document->edit, 20, 0, LOWORD(lParam) - 20, HIWORD(lParam), TRUE);
      break;
    case WM_CLOSE:
      AskToSaveDocument(window);
      SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return 0;
    case WM_NOTIFY:
      return OnNotify(window, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditControlId) {
        if (HIWORD(wParam) == EN_CHANGE) OnTextChanged(window);
        return 0;
      }
      break;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lParam) == window) g_app.activeDocument = window;
      if (Document* active = ActiveDocument()) EnableSave(active->modified);
      break;  // the default procedure keeps the MDI menus in step
  }
  return DefMDIChildProcA(window, message, wParam, lParam);
}

void NewDocument(HWND mdiClient) {
  HWND window = CreateMDIWindowA(kDocumentClass, kUntitled, WS_MAXIMIZE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, mdiClient, g_app.instance, 0);
  if (!window) return;
  ShowWindow(window, SW_SHOW);
  if (Document* document = GetDocument(window); document && document->edit) SetFocus(document->edit);
}

void OpenDocument(HWND mdiClient) {
  std::string path;
  if (!ChooseFileToOpen(mdiClient, g_settings.lastDirectory, kOpenFilter, path, nullptr, "Open file")) return;
  AddRecent(g_settings.recentFiles, path, kRecentFilesCapacity);
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

void AskToSaveDocument(HWND window) {
  Document* document = GetDocument(window);
  if (!document || !document->modified) return;
  const char* caption = document->path.empty() ? kUntitled : document->path.c_str();
  if (MessageBoxA(window, "Text has changed, would you like to save?", caption, MB_YESNO) != IDYES) return;
  SaveOutcome outcome = Save(window);
  // Until the text is saved, it goes only when the user says so.
  while (outcome != SaveOutcome::kSaved) {
    document = GetDocument(window);
    caption = document->path.empty() ? kUntitled : document->path.c_str();
    const char* text = outcome == SaveOutcome::kFailed
                           ? "Unable to save file.\n\nSave the text under another name? Choose No to close "
                             "without saving."
                           : "The text has not been saved.\n\nSave it under another name? Choose No to close "
                             "without saving.";
    if (MessageBoxA(window, text, caption, MB_YESNO | MB_ICONWARNING) != IDYES) return;
    outcome = SaveAs(window);
  }
}

void CloseAllDocuments(HWND mdiClient) {
  if (!mdiClient) return;
  HWND child = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
  while (child) {
    AskToSaveDocument(child);
    SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    HWND next = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
    if (next == child) break;  // it was not destroyed
    child = next;
  }
}

bool OpenDocumentAtLine(const std::string& path, int line) {
  HWND window = FindDocumentWindow(path);
  if (!window) {
    g_app.activeDocument = nullptr;
    NewDocument(g_app.mdiClient);
    window = g_app.activeDocument;
    Document* document = GetDocument(window);
    if (!document) return false;
    if (!ReadDocumentFile(document->edit, path)) {
      SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return false;
    }
    SetDocumentPath(*document, path);
    SetDocumentModified(window, false);
    SetDocumentTitle(window, *document);
    SetFocus(document->edit);
  }
  Document* document = GetDocument(window);
  if (document && document->edit && line != -1) GoToLine(document->edit, line);
  return document != nullptr;
}

bool ReloadUnmodifiedDocument(HWND window) {
  Document* document = GetDocument(window);
  if (!document || document->modified || document->path.empty() || !document->edit) return false;
  if (!ReadDocumentFile(document->edit, document->path)) return false;
  SetDocumentModified(window, false);
  SetDocumentTitle(window, *document);
  return true;
}

}  // namespace quillon
