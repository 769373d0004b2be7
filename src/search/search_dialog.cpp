#include "search/search_dialog.h"

#include "resource.h"
#include "search/search_range.h"
#include "ui/app_state.h"

namespace quillon {

void SearchDialog::ShowFindText(const std::string& text) {
  HWND combo = Item(IDC_FIND_TEXT);
  SendMessageA(combo, CB_LIMITTEXT, 0, 0);  // any length: the text is searched for whole
  FillFromRecent(IDC_FIND_TEXT, g_settings.recentFinds);
  if (!text.empty())
    SetWindowTextA(combo, text.c_str());
  else
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
  // Typing replaces it at once.
  SetFocus(combo);
  SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void SearchDialog::ShowOptions(std::uint32_t flags) {
  Tick(IDC_FIND_WHOLEWORD, flags & kFindWholeWord);
  Tick(IDC_FIND_MATCHCASE, flags & kFindMatchCase);
  if (Item(IDC_FIND_ALLDOCS)) Tick(IDC_FIND_ALLDOCS, flags & kFindAllDocuments);
  Tick(IDC_FIND_REGEX, flags & kFindRegex);
  ShowRegexChoice(flags & kFindRegex);
}

std::uint32_t SearchDialog::TickedOptions() const {
  if (IsTicked(IDC_FIND_REGEX)) return kFindRegex;
  std::uint32_t flags = 0;
  if (IsTicked(IDC_FIND_WHOLEWORD)) flags |= kFindWholeWord;
  if (IsTicked(IDC_FIND_MATCHCASE)) flags |= kFindMatchCase;
  if (Item(IDC_FIND_ALLDOCS) && IsTicked(IDC_FIND_ALLDOCS)) flags |= kFindAllDocuments;
  return flags;
}

void SearchDialog::ShowRegexChoice(bool regex) {
  for (int id : {IDC_FIND_WHOLEWORD, IDC_FIND_MATCHCASE}) Enable(id, !regex);
}

bool SearchDialog::OnCommand(int id, int code) {
  if (id != IDC_FIND_REGEX) return Dialog::OnCommand(id, code);
  if (code == BN_CLICKED) ShowRegexChoice(IsTicked(IDC_FIND_REGEX));
  return true;
}

}  // namespace quillon
