#include "search/find_dialog.h"

#include "resource.h"
#include "search/search_dialog.h"
#include "search/search_range.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

class FindDialog : public SearchDialog {
 public:
  FindDialog(std::string& text, const std::string& initial) : text_(text), initial_(initial) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    const std::uint32_t flags = g_settings.findFlags;
    CheckRadioButton(Handle(), IDC_FIND_UP, IDC_FIND_DOWN, (flags & kFindDown) ? IDC_FIND_DOWN : IDC_FIND_UP);
    ShowOptions(flags);
    ShowFindText(initial_);  // empty: the newest recent find
    return false;
  }
  // A regular expression searches in the active document only, in either direction.
  void ShowRegexChoice(bool regex) override {
    SearchDialog::ShowRegexChoice(regex);
    Enable(IDC_FIND_ALLDOCS, !regex);
  }
  bool OnCommand(int id, int code) override {
    if (id != IDOK) return SearchDialog::OnCommand(id, code);
    g_settings.findFlags = TickedOptions() | (IsTicked(IDC_FIND_DOWN) ? kFindDown : 0);
    text_ = Text(IDC_FIND_TEXT);
    End(1);
    return true;
  }

 private:
  std::string& text_;
  const std::string initial_;
};

}  // namespace

int ShowFindDialog(HWND owner, std::string& text, const std::string& initial) {
  return FindDialog(text, initial).RunModal(owner, IDD_FIND) == 1 ? 1 : 0;
}

}  // namespace quillon
