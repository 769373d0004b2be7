#include "search/find_dialog.h"

#include <cstdint>

#include "base/text_util.h"
#include "resource.h"
#include "search/search_range.h"
#include "ui/app_state.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

bool IsTicked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Tick(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// A regular expression searches forwards only and knows no whole-word, case or all-documents
// options; their boxes are greyed but keep their ticks.
void ShowRegexChoice(HWND dialog, bool regex) {
  for (int id : {IDC_FIND_WHOLEWORD, IDC_FIND_MATCHCASE, IDC_FIND_ALLDOCS, IDC_FIND_UP})
    EnableWindow(GetDlgItem(dialog, id), !regex);
  EnableWindow(GetDlgItem(dialog, IDC_FIND_DOWN), TRUE);
  if (regex) CheckRadioButton(dialog, IDC_FIND_UP, IDC_FIND_DOWN, IDC_FIND_DOWN);
}

void OnInit(HWND dialog, char* buffer) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(buffer));
  CentreOver(dialog, GetWindow(dialog, GW_OWNER));
  const std::uint32_t flags = g_settings.findFlags;
  CheckRadioButton(dialog, IDC_FIND_UP, IDC_FIND_DOWN, (flags & kFindDown) ? IDC_FIND_DOWN : IDC_FIND_UP);
  Tick(dialog, IDC_FIND_WHOLEWORD, flags & kFindWholeWord);
  Tick(dialog, IDC_FIND_MATCHCASE, flags & kFindMatchCase);
  Tick(dialog, IDC_FIND_ALLDOCS, flags & kFindAllDocuments);
  Tick(dialog, IDC_FIND_REGEX, flags & kFindRegex);
  ShowRegexChoice(dialog, flags & kFindRegex);

  HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
  SendMessageA(combo, CB_LIMITTEXT, kPathBufferSize - 1, 0);
  const auto& finds = g_settings.recentFinds;
  for (auto it = finds.rbegin(); it != finds.rend(); ++it)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it->c_str()));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void OnOk(HWND dialog) {
  std::uint32_t flags = IsTicked(dialog, IDC_FIND_DOWN) ? kFindDown : 0;
  if (IsTicked(dialog, IDC_FIND_REGEX)) {
    flags |= kFindRegex;
  } else {
    if (IsTicked(dialog, IDC_FIND_WHOLEWORD)) flags |= kFindWholeWord;
    if (IsTicked(dialog, IDC_FIND_MATCHCASE)) flags |= kFindMatchCase;
    if (IsTicked(dialog, IDC_FIND_ALLDOCS)) flags |= kFindAllDocuments;
  }
  g_settings.findFlags = flags;
  auto* buffer = reinterpret_cast<char*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (buffer) GetDlgItemTextA(dialog, IDC_FIND_TEXT, buffer, static_cast<int>(kPathBufferSize));
}

}  // namespace

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog, reinterpret_cast<char*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_FIND_REGEX:
          if (HIWORD(wParam) == BN_CLICKED) ShowRegexChoice(dialog, IsTicked(dialog, IDC_FIND_REGEX));
          return TRUE;
        case IDOK:
          OnOk(dialog);
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR ShowFindDialog(HWND owner, char* buffer) {
  HINSTANCE instance = g_app.instance ? g_app.instance : GetModuleHandleA(nullptr);
  INT_PTR result =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FIND), owner, FindDialogProc, reinterpret_cast<LPARAM>(buffer));
  return result == 1 ? 1 : 0;
}

}  // namespace quillon
