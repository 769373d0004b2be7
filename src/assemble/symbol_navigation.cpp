#include "assemble/symbol_navigation.h"

#include <richedit.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "assemble/insight_commands.h"
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
  index.Build(roots, ReadProjectSource, dirs);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  char note[96];
  std::snprintf(note, sizeof note, "%zu names in %zu files (%.0f ms)", index.Definitions().size(), index.Files().size(),
                ms);
  ShowStatusNote(note);
  return index;
}

// What the index depends on: the project's files, the active document, the open documents and
// how often texts changed.
unsigned g_textChanges = 0;
std::string IndexStamp() {
  std::string stamp = std::to_string(g_textChanges) + "|";
  if (const Project* project = g_app.project; project && project->loaded) {
    stamp += project->mainSource + "|";
    for (ProjectGroup group : {ProjectGroup::kSource, ProjectGroup::kInclude})
      for (const auto& node : project->Group(group).children)
        if (node->entry) stamp += node->entry->path + "|";
  }
  if (IsDocumentWindow(g_app.activeDocument)) stamp += "*" + DocumentPath(g_app.activeDocument) + "|";
  if (g_app.mdiClient)
    for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (IsDocumentWindow(child)) stamp += DocumentPath(child) + "|";
  return stamp;
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

// The size the user last gave Go to Symbol, kept while the program runs.
SIZE g_symbolDialogSize = {0, 0};

// Go to Symbol: a filter field over the list of definitions, best match first, each row its
// name, kind, value from the last build and file:line, the last drawn at the right edge whole.
class GoToSymbolDialog : public Dialog {
 public:
  explicit GoToSymbolDialog(const std::vector<SymbolDefinition>& definitions)
      : definitions_(definitions), insight_(LastBuildInsight()) {}
  int chosen = -1;

 protected:
  bool OnInit() override {
    RECT r;
    GetWindowRect(Handle(), &r);
    least_ = {r.right - r.left, r.bottom - r.top};
    if (g_symbolDialogSize.cx >= least_.cx && g_symbolDialogSize.cy >= least_.cy)
      SetWindowPos(Handle(), nullptr, 0, 0, g_symbolDialogSize.cx, g_symbolDialogSize.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOverOwner();
    Layout();
    HWND list = Item(IDC_GOTOSYMBOL_LIST);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, FontHeightOf(list) + 2);
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
    if (id != IDOK) {
      if (id == IDCANCEL) KeepSize();
      return Dialog::OnCommand(id, code);
    }
    const int at = static_cast<int>(SendMessageA(Item(IDC_GOTOSYMBOL_LIST), LB_GETCURSEL, 0, 0));
    if (at < 0 || at >= static_cast<int>(shown_.size())) {
      MessageBeep(MB_OK);
      return true;
    }
    chosen = shown_[at];
    KeepSize();
    End(1);
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    switch (message) {
      case WM_SIZE:
        Layout();
        return true;
      case WM_GETMINMAXINFO:
        if (least_.cx) {
          auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
          info->ptMinTrackSize = {least_.cx, least_.cy};
        }
        return true;
      case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != IDC_GOTOSYMBOL_LIST) return false;
        Draw(item);
        result = TRUE;
        return true;
      }
    }
    return false;
  }

 private:
  void KeepSize() {
    RECT r;
    GetWindowRect(Handle(), &r);
    g_symbolDialogSize = {r.right - r.left, r.bottom - r.top};
  }
  // The filter and the list take the room the buttons leave at the right.
  void Layout() {
    RECT client;
    GetClientRect(Handle(), &client);
    RECT unit = {7, 7, 50, 14};
    MapDialogRect(Handle(), &unit);
    const int margin = unit.left, button = unit.right, buttonHeight = unit.bottom;
    const int right = client.right - margin - button - margin;
    HWND filter = Item(IDC_GOTOSYMBOL_FILTER), list = Item(IDC_GOTOSYMBOL_LIST);
    RECT f;
    GetWindowRect(filter, &f);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&f), 2);
    MoveWindow(filter, f.left, f.top, right - f.left, f.bottom - f.top, TRUE);
    RECT l;
    GetWindowRect(list, &l);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&l), 2);
    MoveWindow(list, l.left, l.top, right - l.left, client.bottom - margin - l.top, TRUE);
    MoveWindow(Item(IDOK), client.right - margin - button, margin, button, buttonHeight, TRUE);
    MoveWindow(Item(IDCANCEL), client.right - margin - button, margin + buttonHeight + margin / 2, button, buttonHeight,
               TRUE);
  }
  void Fill() {
    HWND list = Item(IDC_GOTOSYMBOL_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    shown_ = FilterDefinitions(definitions_, Text(IDC_GOTOSYMBOL_FILTER));
    for (int i : shown_) {
      const SymbolDefinition& d = definitions_[i];
      std::string file = d.file.empty() ? "(untitled)" : d.file.substr(d.file.find_last_of("/\\") + 1);
      std::string value;
      if (d.kind != SymbolDefinition::Kind::kMacro)
        if (const auto* v = insight_->facts.Symbol(d.name)) {
          char hex[16];
          std::snprintf(hex, sizeof hex, "$%04llX", static_cast<unsigned long long>(v->value & 0xFFFFFFFF));
          value = hex;
        }
      std::string row = d.name + "\t" + KindName(d.kind) + "\t" + value + "\t" + file + ":" + std::to_string(d.line);
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    if (!shown_.empty()) SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  void Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) return;
    const int length = static_cast<int>(SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0));
    if (length <= 0) return;
    std::string text(length, '\0');
    SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    std::string cells[4];
    for (std::size_t at = 0, cell = 0; cell < 4; ++cell) {
      const std::size_t tab = cell < 3 ? text.find('\t', at) : std::string::npos;
      cells[cell] = text.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    // file:line at the right edge, whole; the name gives way first.
    SIZE fileSize{};
    GetTextExtentPoint32A(dc, cells[3].c_str(), static_cast<int>(cells[3].size()), &fileSize);
    SIZE digit{};
    GetTextExtentPoint32A(dc, "$00000", 6, &digit);
    SIZE kind{};
    GetTextExtentPoint32A(dc, "local label ", 12, &kind);
    const int pad = 4;
    RECT fileBox = {r.right - pad - fileSize.cx, r.top, r.right - pad, r.bottom};
    RECT valueBox = {fileBox.left - pad * 2 - digit.cx, r.top, fileBox.left - pad * 2, r.bottom};
    RECT kindBox = {valueBox.left - pad * 2 - kind.cx, r.top, valueBox.left - pad * 2, r.bottom};
    RECT nameBox = {r.left + pad, r.top, kindBox.left - pad, r.bottom};
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawTextA(dc, cells[0].c_str(), -1, &nameBox, flags | DT_END_ELLIPSIS);
    DrawTextA(dc, cells[1].c_str(), -1, &kindBox, flags | DT_END_ELLIPSIS);
    DrawTextA(dc, cells[2].c_str(), -1, &valueBox, flags);
    DrawTextA(dc, cells[3].c_str(), -1, &fileBox, flags);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
  }

  const std::vector<SymbolDefinition>& definitions_;
  std::shared_ptr<const BuildInsight> insight_;
  std::vector<int> shown_;
  SIZE least_ = {0, 0};
};

}  // namespace

// The texts the index reads: an open document's text (saved or not), else the file's.
bool ReadProjectSource(const std::string& path, std::string& text) {
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

const SymbolIndex& ProjectIndex(bool fresh) {
  static SymbolIndex index;
  static std::string stamp;
  static bool read = false;
  // Every change of a text makes the index old.
  EditorHooks().textChanged["symbol index"] = [](HWND) { ++g_textChanges; };
  if (!read || fresh) {
    std::string now = IndexStamp();
    if (!read || now != stamp) {
      index = BuildIndex();
      stamp = std::move(now);
      read = true;
    }
  }
  return index;
}

std::string NameAtCaret(std::string* file, int* lineNumber) {
  HWND window = g_app.activeDocument;
  HWND edit = DocumentTextControl(window);
  if (!edit) return {};
  long start = 0, end = 0;
  GetSelection(edit, start, end);
  const int line = static_cast<int>(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, start));
  const long lineStart = LineIndex(edit, line);
  const long lineLength = static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  if (file) *file = DocumentPath(window);
  if (lineNumber) *lineNumber = line + 1;
  return NameAt(TextRange(edit, lineStart, lineStart + lineLength), static_cast<int>(start - lineStart));
}

void GoToDefinitionCommand(HWND) {
  HWND window = g_app.activeDocument;
  if (!DocumentTextControl(window)) return;
  int line = 0;
  const std::string name = NameAtCaret(nullptr, &line);
  if (name.empty()) {
    ShowStatusNote("No name at the caret");
    return;
  }
  const SymbolIndex& index = ProjectIndex(true);
  const SymbolDefinition* found = index.Find(name, DocumentPath(window), line);
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
  const SymbolIndex& index = ProjectIndex(true);
  GoToSymbolDialog dialog(index.Definitions());
  if (dialog.RunModal(frame, IDD_GOTOSYMBOL) != 1 || dialog.chosen < 0) return;
  if (DocumentTextControl(g_app.activeDocument)) RememberCaret(g_app.activeDocument);
  OpenDefinition(index.Definitions()[dialog.chosen]);
}

}  // namespace quillon
