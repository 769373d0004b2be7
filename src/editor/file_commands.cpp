#include <richedit.h>

#include <vector>

#include "base/full_path.h"
#include "base/recent_lists.h"
#include "base/text_util.h"
#include "editor/caret_and_font.h"
#include "editor/close_question.h"
#include "editor/document.h"
#include "editor/document_file.h"
#include "editor/document_state.h"
#include "editor/document_window.h"
#include "editor/gutter.h"
#include "editor/text_control.h"
#include "editor/text_view.h"
#include "ui/app_state.h"
#include "ui/file_choosers.h"
#include "ui/frame_hooks.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

constexpr char kOpenFilter[] = "Source and include files (*.asm, *.inc)\0*.inc;*.asm\0ALL files (*.*)\0*.*\0";
constexpr char kSaveFilter[] = "ASM files (*.asm)\0*.asm\0ALL files (*.*)\0*.*\0";
SaveOutcome SaveAs(HWND window);

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
// The one way a file's text comes into a document, opened or read again: the text and the lines
// it is coloured from, the gutter and the view fitted to it, and the document unchanged under the
// file's name. False, with the text as it was, when the file cannot be read (reported).
bool TakeFileText(HWND window, Document& document, const std::string& path) {
  // A read that fails leaves the text as it was, and the history and the modified state with it.
  const UndoHistory history = document.model.history;
  const bool read = ReadDocumentFile(document.edit, path, document.file);
  document.textLimitKb = static_cast<int>((TextLimit(document.edit) + 1023) / 1024);  // it may have grown
  if (!read) {
    if (TextRange(document.edit, 0, TextLength(document.edit)) == history.Text()) {
      document.model.history = history;
    } else if (!document.path.empty()) {
      SetDocumentModified(window, true);  // never taken for the file's text
      SetDocumentTitle(window, document);
    }
    return false;
  }
  document.model.change.lineCount = LineCount(document.edit);
  SetDocumentPath(document, path);
  FitGutter(window, document);
  PlaceTextView(window);
  SetDocumentModified(window, false);
  SetDocumentTitle(window, document);
  NotifyTextChanged(window);
  return true;
}

bool ReloadDocument(HWND window, Document& document, const FileStamp& now) {
  long start = 0, end = 0;
  GetSelection(document.edit, start, end);
  const int firstLine = FirstVisibleLine(document.edit);
  if (!TakeFileText(window, document, std::string(document.path))) {
    if (Document* still = GetDocument(window)) still->declinedStamp = now;
    return false;
  }
  SetSelection(document.edit, start, start);
  ScrollLines(document.edit, firstLine - FirstVisibleLine(document.edit));
  return true;
}

void ReportSaveFailure(HWND window) {
  Document* document = GetDocument(window);
  ReportFailure(window, "Unable to save file.", document && !document->path.empty() ? document->path : kUntitled);
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
    ReportFailure(g_app.mdiClient ? GetParent(g_app.mdiClient) : nullptr, "Unable to open file.", givenPath);
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
    if (!TakeFileText(window, *document, path)) {
      SendMessageA(g_app.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return false;
    }
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

}  // namespace quillon
