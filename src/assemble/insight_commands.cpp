#include "assemble/insight_commands.h"

#include <richedit.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "assemble/output_pane.h"
#include "assemble/program_insight.h"
#include "assemble/symbol_navigation.h"
#include "base/file_io.h"
#include "cpasm/assembler.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

std::mutex g_insightLock;
std::shared_ptr<const BuildInsight>& Insight() {
  static std::shared_ptr<const BuildInsight> insight = std::make_shared<BuildInsight>();
  return insight;
}

// The open document window of `path` (the active untitled one for an empty path), or null.
HWND DocumentOf(const std::string& path) {
  if (!g_app.mdiClient) return nullptr;
  if (path.empty())
    return DocumentTextControl(g_app.activeDocument) && DocumentPath(g_app.activeDocument).empty()
               ? g_app.activeDocument
               : nullptr;
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (DocumentTextControl(child) && SameSourcePath(DocumentPath(child), path)) return child;
  return nullptr;
}

// The symbol at the caret as the index knows it; null (with a note) when there is none.
const SymbolDefinition* SymbolAtCaret(const SymbolIndex& index, std::string& word, std::string& file, int& line) {
  word = NameAtCaret(&file, &line);
  if (word.empty()) {
    ShowStatusNote("No name at the caret");
    return nullptr;
  }
  const SymbolDefinition* d = index.Find(word, file, line);
  if (!d) ShowStatusNote(("No definition of " + word + " found").c_str());
  return d;
}

// Rename Symbol: the new name, with the places it changes counted as it is typed.
class RenameDialog : public Dialog {
 public:
  RenameDialog(const std::string& word, const std::string& file, int line, const SymbolIndex& index)
      : word_(word), file_(file), line_(line), index_(index) {}
  RenamePlan plan;

 protected:
  bool OnInit() override {
    CentreOverOwner();
    SetText(IDC_RENAME_LABEL, "Rename " + word_ + " to:");
    SetText(IDC_RENAME_NAME, word_);
    SendMessageA(Item(IDC_RENAME_NAME), EM_SETSEL, 0, -1);
    SetFocus(Item(IDC_RENAME_NAME));
    Preview();
    return false;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDC_RENAME_NAME && code == EN_CHANGE) {
      Preview();
      return true;
    }
    if (id != IDOK) return Dialog::OnCommand(id, code);
    Preview();
    if (!plan.refusal.empty()) {
      MessageBoxA(Handle(), plan.refusal.c_str(), "Rename Symbol", MB_OK | MB_ICONEXCLAMATION);
      return true;
    }
    End(1);
    return true;
  }

 private:
  void Preview() {
    plan = PlanRename(word_, file_, line_, Text(IDC_RENAME_NAME), index_, ReadProjectSource);
    if (!plan.refusal.empty()) {
      SetText(IDC_RENAME_PREVIEW, plan.refusal);
    } else {
      const std::size_t places = plan.places.size();
      SetText(IDC_RENAME_PREVIEW, std::to_string(places) + (places == 1 ? " place in " : " places in ") +
                                      std::to_string(plan.files) + (plan.files == 1 ? " file" : " files") +
                                      " will change");
    }
    Enable(IDOK, plan.refusal.empty() || plan.refusal == "The new name is the old one");
  }

  std::string word_, file_;
  int line_;
  const SymbolIndex& index_;
};

// The memory map: a line for each range, a bar for each block, the RAM and the errors.
class MemoryMapDialog : public Dialog {
 public:
  explicit MemoryMapDialog(std::shared_ptr<const BuildInsight> insight) : insight_(std::move(insight)) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    HWND list = Item(IDC_MEMORYMAP_LIST);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, FontHeightOf(list) + 6);
    auto add = [&](const std::string& text, LPARAM block) {
      const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageA(list, LB_SETITEMDATA, at, block);
    };
    const BuildInsight& insight = *insight_;
    if (!insight.mapRead) {
      add(insight.facts.built ? "The last build left no memory map (.cfg or .rom) to read."
                              : "No build yet: build with F7 to see the memory map.",
          0);
      return true;
    }
    const MemoryReport& report = insight.report;
    for (std::size_t i = 0; i < report.blocks.size(); ++i) {
      const BlockUse& use = report.blocks[i];
      char text[160];
      std::snprintf(text, sizeof text, "$%04X-$%04X\t%ld used, %ld free, largest free %ld",
                    static_cast<unsigned>(use.block.first), static_cast<unsigned>(use.block.last), use.used, use.free,
                    use.largest);
      add(text, static_cast<LPARAM>(i + 1));
    }
    std::vector<std::string> lines = MemoryReportLines(report);
    for (const std::string& line : lines)
      if (line.rfind("  Block ", 0) != 0 && line != "Memory map:") add(line.substr(line.find_first_not_of(' ')), 0);
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDOK) id = IDCANCEL;  // Close
    return Dialog::OnCommand(id, code);
  }
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    if (message != WM_DRAWITEM) return false;
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlID != IDC_MEMORYMAP_LIST || item.itemID == static_cast<UINT>(-1)) return false;
    Draw(item);
    result = TRUE;
    return true;
  }

 private:
  void Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    const int length = static_cast<int>(SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0));
    std::string text(length > 0 ? length : 0, '\0');
    if (length > 0) SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const std::size_t tab = text.find('\t');
    const auto block = static_cast<std::size_t>(item.itemData);
    if (block == 0 || tab == std::string::npos || block > insight_->report.blocks.size()) {
      if (text.find("ERROR") != std::string::npos) SetTextColor(dc, RGB(192, 0, 0));
      RECT t = r;
      t.left += 4;
      DrawTextA(dc, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      return;
    }
    const BlockUse& use = insight_->report.blocks[block - 1];
    const int width = r.right - r.left;
    RECT label = {r.left + 4, r.top, r.left + width / 4, r.bottom};
    DrawTextA(dc, text.c_str(), static_cast<int>(tab), &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // The bar: the used part of the block filled, the rest framed.
    RECT bar = {r.left + width / 4, r.top + 3, r.left + width / 2, r.bottom - 3};
    const long total = use.used + use.free;
    RECT filled = bar;
    filled.right = bar.left + static_cast<LONG>(total ? (bar.right - bar.left) * use.used / total : 0);
    HBRUSH fill = CreateSolidBrush(use.used ? RGB(64, 112, 192) : RGB(255, 255, 255));
    FillRect(dc, &filled, fill);
    DeleteObject(fill);
    FrameRect(dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
    RECT rest = {bar.right + 6, r.top, r.right - 2, r.bottom};
    DrawTextA(dc, text.c_str() + tab + 1, -1, &rest, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  std::shared_ptr<const BuildInsight> insight_;
};

}  // namespace

std::shared_ptr<const BuildInsight> LastBuildInsight() {
  std::lock_guard<std::mutex> hold(g_insightLock);
  return Insight();
}

void ForgetLastBuildInsight() {
  std::lock_guard<std::mutex> hold(g_insightLock);
  Insight() = std::make_shared<BuildInsight>();
}

bool ReportBuildInsight(const std::string& directory, const std::string& image, const std::string& source,
                        OutputSink& pane) {
  std::vector<std::string> dirs{directory};
  if (const char* path = std::getenv("AS1600_PATH"))
    for (std::string& dir : cpasm::SplitSearchPath(path, true)) dirs.push_back(std::move(dir));
  auto insight = std::make_shared<BuildInsight>(ReadBuildInsight(SystemFiles(), directory, image, source, dirs));
  bool clean = true;
  if (insight->mapRead) {
    const std::vector<std::string> lines = MemoryReportLines(insight->report);
    const std::vector<MapProblem>& errors = insight->report.errors;
    const std::size_t plain = lines.size() - errors.size();  // the error lines come last
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const MapProblem* p = i >= plain ? &errors[i - plain] : nullptr;
      pane.AddLine(lines[i], p ? p->file : std::string(), p && !p->file.empty() ? p->line - 1 : -1);
    }
    clean = errors.empty();
  }
  std::lock_guard<std::mutex> hold(g_insightLock);
  Insight() = std::move(insight);
  return clean;
}

void FindAllReferencesCommand(HWND) {
  if (!g_app.outputPane) return;
  if (g_app.buildThread) {
    ShowStatusNote("A build is running: find the references after it");
    return;
  }
  const SymbolIndex& index = ProjectIndex(true);
  std::string word, file;
  int line = 0;
  const SymbolDefinition* d = SymbolAtCaret(index, word, file, line);
  if (!d) return;
  const std::vector<Reference> found = FindReferences(*d, index, ReadProjectSource);
  OutputPane& pane = *g_app.outputPane;
  pane.Clear();
  pane.Show();
  pane.AddLine("References of " + d->name + ":", "", -1);
  int files = 0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    const Reference& r = found[i];
    if (i == 0 || !SameSourcePath(r.file, found[i - 1].file)) ++files;
    std::string text = r.lineText;
    const std::size_t first = text.find_first_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first);
    pane.AddLine((r.file.empty() ? "(untitled)" : r.file) + ":" + std::to_string(r.line) + ": " + text, r.file,
                 r.line - 1);
  }
  pane.AddLine(std::to_string(found.size()) + (found.size() == 1 ? " reference in " : " references in ") +
                   std::to_string(files) + (files == 1 ? " file" : " files"),
               "", -1);
  pane.Flush();
}

void RenameSymbolCommand(HWND frame) {
  if (g_app.buildThread) {
    ShowStatusNote("A build is running: rename after it");
    return;
  }
  const SymbolIndex& index = ProjectIndex(true);
  std::string word, file;
  int line = 0;
  word = NameAtCaret(&file, &line);
  if (word.empty()) {
    ShowStatusNote("No name at the caret");
    return;
  }
  RenameDialog dialog(word, file, line, index);
  if (dialog.RunModal(frame, IDD_RENAMESYMBOL) != 1) return;
  const RenamePlan& plan = dialog.plan;
  if (!plan.refusal.empty() || plan.places.empty()) return;
  // Each file once, in the order of its first place.
  std::vector<std::string> files;
  for (const Reference& r : plan.places)
    if (files.empty() || !SameSourcePath(files.back(), r.file)) files.push_back(r.file);
  std::string failed;
  int changed = 0;
  for (const std::string& path : files) {
    if (HWND window = DocumentOf(path)) {
      int first = 0, last = 0;
      for (const Reference& r : plan.places)
        if (SameSourcePath(r.file, path)) {
          if (!first || r.line < first) first = r.line;
          if (r.line > last) last = r.line;
        }
      // Lines `first` to `last` in one change, and so in one Undo step.
      HWND edit = DocumentTextControl(window);
      const long start = DocumentLineStart(window, first - 1);
      const long lastStart = DocumentLineStart(window, last - 1);
      const long end = lastStart + static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lastStart, 0));
      const std::string before = TextRange(edit, start, end);
      const std::string after = ApplyRename(before, path, plan, first);
      if (after != before && !ReplaceDocumentRange(window, start, end, after)) {
        failed += "\n" + path + " (the open document cannot take the change)";
        continue;
      }
      ++changed;
      continue;
    }
    std::string bytes;
    if (!ReadWholeFile(SystemFiles(), path, bytes)) {
      failed += "\n" + path + " (cannot be read)";
      continue;
    }
    const std::string renamed = ApplyRename(bytes, path, plan);
    if (renamed == bytes) continue;
    if (!WriteFileReplacing(SystemFiles(), path, renamed)) {
      failed += "\n" + path + " (cannot be written; it is unchanged)";
      continue;
    }
    ++changed;
  }
  if (!failed.empty())
    MessageBoxA(frame,
                ("Renamed in " + std::to_string(changed) + " of " + std::to_string(files.size()) +
                 " files. Not renamed in:" + failed)
                    .c_str(),
                "Rename Symbol", MB_OK | MB_ICONEXCLAMATION);
  else
    ShowStatusNote(("Renamed " + plan.oldName + " to " + plan.newName + " in " + std::to_string(plan.places.size()) +
                    " places in " + std::to_string(files.size()) + " files")
                       .c_str());
}

void MemoryMapCommand(HWND frame) {
  MemoryMapDialog dialog(LastBuildInsight());
  dialog.RunModal(frame, IDD_MEMORYMAP);
}

}  // namespace quillon
