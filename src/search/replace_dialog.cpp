#include "search/replace_dialog.h"

#include <cstdint>
#include <string>

#include "base/recent_lists.h"
#include "base/text_util.h"
#include "editor/document.h"
#include "resource.h"
#include "search/search_engine.h"
#include "search/search_range.h"
#include "ui/app_state.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

// The replacement text, kept from one showing of the dialog to the next.
std::string g_replacement;

bool IsTicked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ShowRegexChoice(HWND dialog, bool regex) {
  for (int id : {IDC_FIND_WHOLEWORD, IDC_FIND_MATCHCASE}) EnableWindow(GetDlgItem(dialog, id), !regex);
}

void OnInit(HWND dialog) {
  CentreOver(dialog, GetWindow(dialog, GW_OWNER));
  const std::uint32_t flags = g_settings.findFlags;
  CheckDlgButton(dialog, IDC_FIND_WHOLEWORD, (flags & kFindWholeWord) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_FIND_MATCHCASE, (flags & kFindMatchCase) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_FIND_REGEX, (flags & kFindRegex) ? BST_CHECKED : BST_UNCHECKED);
  ShowRegexChoice(dialog, flags & kFindRegex);

  HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
  SendMessageA(combo, CB_LIMITTEXT, kPathBufferSize - 1, 0);
  const auto& finds = g_settings.recentFinds;
  for (auto it = finds.rbegin(); it != finds.rend(); ++it)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it->c_str()));
  if (findText[0])
    SetWindowTextA(combo, findText);
  else
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
  SendDlgItemMessageA(dialog, IDC_REPLACE_WITH, EM_LIMITTEXT, kPathBufferSize - 1, 0);
  SetDlgItemTextA(dialog, IDC_REPLACE_WITH, g_replacement.c_str());
}

// Takes the dialog's text and options as the current search, so that Find Next goes on with
// them. False when there is no text to search for.
bool TakeSearch(HWND dialog) {
  char text[kPathBufferSize] = "";
  GetDlgItemTextA(dialog, IDC_FIND_TEXT, text, sizeof text);
  char replacement[kPathBufferSize] = "";
  GetDlgItemTextA(dialog, IDC_REPLACE_WITH, replacement, sizeof replacement);
  g_replacement = replacement;
  if (!text[0]) return false;
  std::uint32_t flags = kFindDown;
  if (IsTicked(dialog, IDC_FIND_REGEX)) {
    flags |= kFindRegex;
  } else {
    if (IsTicked(dialog, IDC_FIND_WHOLEWORD)) flags |= kFindWholeWord;
    if (IsTicked(dialog, IDC_FIND_MATCHCASE)) flags |= kFindMatchCase;
  }
  g_settings.findFlags = flags;
  CopyLimited(findText, sizeof findText, text);
  AddRecent(g_settings.recentFinds, findText, kRecentFindsCapacity);
  return true;
}

void OnButton(HWND dialog, int id) {
  if (!TakeSearch(dialog) || !ActiveDocument()) return;
  HWND window = g_app.activeDocument;
  switch (id) {
    case IDC_REPLACE_FINDNEXT:
      SearchDocument(window, findText, g_settings.findFlags, dialog);
      break;
    case IDC_REPLACE_ONE:
      ReplaceNext(window, findText, g_replacement.c_str(), g_settings.findFlags, dialog);
      break;
    case IDC_REPLACE_ALL:
      ReplaceAllInDocument(window, findText, g_replacement.c_str(), g_settings.findFlags, dialog);
      break;
  }
}

}  // namespace

INT_PTR CALLBACK ReplaceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_FIND_REGEX:
          if (HIWORD(wParam) == BN_CLICKED) ShowRegexChoice(dialog, IsTicked(dialog, IDC_FIND_REGEX));
          return TRUE;
        case IDC_REPLACE_FINDNEXT:
        case IDC_REPLACE_ONE:
        case IDC_REPLACE_ALL:
          OnButton(dialog, LOWORD(wParam));
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

void ReplaceCommand(HWND frame) {
  if (!ActiveDocument()) return;
  HINSTANCE instance = g_app.instance ? g_app.instance : GetModuleHandleA(nullptr);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REPLACE), frame, ReplaceDialogProc, 0);
}

}  // namespace quillon
