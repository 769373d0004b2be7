#include "search/replace_dialog.h"

#include <cstdint>
#include <string>

#include "base/recent_lists.h"
#include "editor/editor.h"
#include "resource.h"
#include "search/search_dialog.h"
#include "search/search_engine.h"
#include "search/search_range.h"
#include "search/search_state.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

class ReplaceDialog : public SearchDialog {
 public:
  explicit ReplaceDialog(SearchState& search) : search_(search) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    ShowOptions(g_settings.findFlags);
    SendDlgItemMessageA(Handle(), IDC_REPLACE_WITH, EM_LIMITTEXT, 0, 0);  // any length
    SetText(IDC_REPLACE_WITH, search_.replacement);
    // A selection over lines is what Replace All is most likely meant for.
    Tick(IDC_REPLACE_INSELECTION, SelectionSpansLines(g_app.activeDocument));
    const std::string initial = InitialFindTextOf(g_app.activeDocument);
    ShowFindText(initial.empty() ? search_.text : initial);
    return false;
  }
  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDC_REPLACE_FINDNEXT:
      case IDC_REPLACE_ONE:
      case IDC_REPLACE_ALL:
        OnButton(id);
        return true;
    }
    return SearchDialog::OnCommand(id, code);
  }

 private:
  // Takes the dialog's text and options as the current search, so that Find Next goes on with
  // them. False when there is no text to search for.
  bool TakeSearch() {
    const std::string text = Text(IDC_FIND_TEXT);
    search_.replacement = Text(IDC_REPLACE_WITH);
    if (text.empty()) return false;
    // Replace All also goes through every document with a regular expression.
    g_settings.findFlags = kFindDown | TickedOptions() | (IsTicked(IDC_FIND_ALLDOCS) ? kFindAllDocuments : 0) |
                           (IsTicked(IDC_REPLACE_INSELECTION) ? kFindInSelection : 0);
    search_.text = text;
    AddRecent(g_settings.recentFinds, search_.text, kRecentFindsCapacity);
    return true;
  }

  void OnButton(int id) {
    if (!TakeSearch() || !IsDocumentWindow(g_app.activeDocument)) return;
    HWND window = g_app.activeDocument;
    const char* text = search_.text.c_str();
    const char* replacement = search_.replacement.c_str();
    switch (id) {
      case IDC_REPLACE_FINDNEXT:
        SearchDocument(window, text, g_settings.findFlags, Handle());
        break;
      case IDC_REPLACE_ONE:
        ReplaceNext(window, text, replacement, g_settings.findFlags, Handle());
        break;
      case IDC_REPLACE_ALL:
        ReplaceAll(window, text, replacement, g_settings.findFlags, Handle());
        break;
    }
  }

  SearchState& search_;
};

}  // namespace

void ReplaceCommand(HWND frame, SearchState& search) {
  if (!IsDocumentWindow(g_app.activeDocument)) return;
  ReplaceDialog(search).RunModal(frame, IDD_REPLACE);
}

}  // namespace quillon
