#include "assemble/symbol_navigation.h"

#include <richedit.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "assemble/symbol_index.h"
#include "base/file_io.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "project/project.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/reporting.h"
#include "ui/window.h"

namespace quillon {

namespace {

PlaceStack& BackStack() {
  static PlaceStack stack;
  return stack;
}

// The text control of the open document of `path`, or null.
HWND OpenDocumentOf(const std::string& path) {
  if (!g_app.mdiClient) return nullptr;
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    HWND edit = DocumentTextControl(child);
    if (edit && SameSourcePath(DocumentPath(child), path)) return edit;
  }
  return nullptr;
}

// The texts the index reads: an open document's text (saved or not), else the file's.
bool ReadSource(const std::string& path, std::string& text) {
  if (path.empty()) {  // an untitled document: the active one
    HWND edit = DocumentTextControl(g_app.activeDocument);
    return edit && DocumentPath(g_app.activeDocument).empty() && StreamTextOut(edit, text);
  }
  // A relative name would be read in whatever folder the file choosers left current: the
  // assembler's search goes on to the folders the build runs in instead.
  const bool full =
      (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) || path.rfind("\\\\", 0) == 0;
  if (!full) return false;
  if (HWND edit = OpenDocumentOf(path)) return StreamTextOut(edit, text);
  return ReadWholeFile(SystemFiles(), path, text);
}

// The project's sources and include files, the main source first, then the active document
// (and so its INCLUDE chain) when the project does not hold it.
SymbolIndex BuildIndex() {
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::string> roots, dirs;
  const Project* project = g_app.project;
  if (project && project->loaded) {
    std::string full;
    if (!project->mainSource.empty() && project->FullPathOf(project->mainSource, full)) roots.push_back(full);
    for (ProjectGroup group : {ProjectGroup::kSource, ProjectGroup::kInclude})
      for (const auto& node : project->Group(group).children)
        if (node->entry && project->FullPathOf(node->entry->path, full)) roots.push_back(full);
    if (!project->projectDir.empty()) dirs.push_back(project->projectDir);
  }
  if (IsDocumentWindow(g_app.activeDocument)) {
    const std::string path = DocumentPath(g_app.activeDocument);
    roots.push_back(path);
    // Without a project the build runs in the document's folder: its INCLUDEs are found there.
    const std::size_t slash = path.find_last_of("\\/");
    if (dirs.empty() && slash != std::string::npos) dirs.push_back(path.substr(0, slash));
  }
  SymbolIndex index;
  index.Build(roots, ReadSource, dirs);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  char note[96];
  std::snprintf(note, sizeof note, "%zu names in %zu files (%.0f ms)", index.Definitions().size(), index.Files().size(),
                ms);
  ShowStatusNote(note);
  return index;
}

void RememberCaret(HWND window) {
  Place place;
  place.file = DocumentPath(window);
  place.window = reinterpret_cast<std::uintptr_t>(window);
  DocumentSelection(window, place.start, place.end);
  BackStack().Push(std::move(place));
}

// Opens a definition's line (zero-based in the view) with the caret at its start, centred.
bool OpenDefinition(const SymbolDefinition& d) {
  if (d.file.empty()) {  // an untitled document: the active one
    if (!DocumentTextControl(g_app.activeDocument)) return false;
    ShowDocumentLine(g_app.activeDocument, d.line - 1, false);
    return true;
  }
  if (!OpenDocumentAtLine(d.file, d.line - 1)) return false;
  ShowDocumentLine(g_app.activeDocument, d.line - 1, false);
  return true;
}

Subclass g_filterSubclass;

// The filter field passes the keys that move through a list on to the list.
LRESULT CALLBACK FilterProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) return g_filterSubclass.Detach(edit, message, wParam, lParam);
  if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT))
    return SendMessageA(GetDlgItem(GetParent(edit), IDC_GOTOSYMBOL_LIST), message, wParam, lParam);
  return g_filterSubclass.CallOriginal(edit, message, wParam, lParam);
}

// Go to Symbol: a filter field over the list of definitions.
class GoToSymbolDialog : public Dialog {
 public:
  explicit GoToSymbolDialog(const std::vector<SymbolDefinition>& definitions) : definitions_(definitions) {}
  int chosen = -1;

 protected:
  bool OnInit() override {
    CentreOverOwner();
    const int stops[] = {110, 160};
    SendMessageA(Item(IDC_GOTOSYMBOL_LIST), LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    g_filterSubclass.Attach(Item(IDC_GOTOSYMBOL_FILTER), &FilterProcedure);
    Fill();
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDC_GOTOSYMBOL_FILTER && code == EN_CHANGE) {
      Fill();
      return true;
    }
    if (id == IDC_GOTOSYMBOL_LIST && code == LBN_DBLCLK) id = IDOK;
    if (id != IDOK) return Dialog::OnCommand(id, code);
    const int at = static_cast<int>(SendMessageA(Item(IDC_GOTOSYMBOL_LIST), LB_GETCURSEL, 0, 0));
    if (at < 0 || at >= static_cast<int>(shown_.size())) {
      MessageBeep(MB_OK);
      return true;
    }
    chosen = shown_[at];
    End(1);
    return true;
  }

 private:
  void Fill() {
    HWND list = Item(IDC_GOTOSYMBOL_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    shown_ = FilterDefinitions(definitions_, Text(IDC_GOTOSYMBOL_FILTER));
    for (int i : shown_) {
      const SymbolDefinition& d = definitions_[i];
      std::string file = d.file.empty() ? "(untitled)" : d.file.substr(d.file.find_last_of("/\\") + 1);
      std::string row = d.name + "\t" + KindName(d.kind) + "\t" + file + ":" + std::to_string(d.line);
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    if (!shown_.empty()) SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  const std::vector<SymbolDefinition>& definitions_;
  std::vector<int> shown_;
};

}  // namespace

void GoToDefinitionCommand(HWND) {
  HWND window = g_app.activeDocument;
  HWND edit = DocumentTextControl(window);
  if (!edit) return;
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  const int line = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, start));
  const long lineStart = LineIndex(edit, line);
  const long lineLength = static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  const std::string name =
      NameAt(TextRange(edit, lineStart, lineStart + lineLength), static_cast<int>(start - lineStart));
  if (name.empty()) {
    ShowStatusNote("No name at the caret");
    return;
  }
  SymbolIndex index = BuildIndex();
  const SymbolDefinition* found = index.Find(name, DocumentPath(window), line + 1);
  if (!found) {
    ShowStatusNote(("No definition of " + name + " found").c_str());
    return;
  }
  RememberCaret(window);
  OpenDefinition(*found);
}

void GoBackCommand(HWND) {
  Place place;
  if (!BackStack().Pop(place)) {
    ShowStatusNote("No place to go back to");
    return;
  }
  HWND window = reinterpret_cast<HWND>(place.window);
  if (IsWindow(window) && DocumentTextControl(window) &&
      (place.file.empty() || SameSourcePath(DocumentPath(window), place.file))) {
    SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  } else if (place.file.empty() || !OpenDocumentAtLine(place.file, -1) ||
             !DocumentTextControl(window = g_app.activeDocument)) {
    ShowStatusNote("The place to go back to is closed");
    return;
  }
  SelectDocumentRange(window, place.start, place.end);
}

void GoToSymbolCommand(HWND frame) {
  SymbolIndex index = BuildIndex();
  GoToSymbolDialog dialog(index.Definitions());
  if (dialog.RunModal(frame, IDD_GOTOSYMBOL) != 1 || dialog.chosen < 0) return;
  if (DocumentTextControl(g_app.activeDocument)) RememberCaret(g_app.activeDocument);
  OpenDefinition(index.Definitions()[dialog.chosen]);
}

}  // namespace quillon
