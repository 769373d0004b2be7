#include "macros/macro_options.h"

#include <commctrl.h>

#include <string>

#include "base/error_log.h"
#include "macros/build_options.h"
#include "macros/macro_commands.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

std::string ControlText(HWND control) {
  const int length = static_cast<int>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied =
      static_cast<int>(SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
  return text;
}

void UpdatePreview(HWND page) {
  const std::string preview = ExpandMacro(ControlText(GetDlgItem(page, IDC_MACRO_TEXT)), g_app.activeDocument);
  SetDlgItemTextA(page, IDC_MACRO_PREVIEW, preview.c_str());
}

INT_PTR CALLBACK MacroPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      CentreOver(GetParent(page), FrameWindow());
      auto* text = reinterpret_cast<std::string*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
      SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(text));
      SetDlgItemTextA(page, IDC_MACRO_TEXT, text->c_str());
      UpdatePreview(page);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_MACRO_TEXT && HIWORD(wParam) == EN_CHANGE) UpdatePreview(page);
      return FALSE;
    case WM_NOTIFY:
      // The sheet has no Apply button, so every apply is the OK button's.
      if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
        auto* text = reinterpret_cast<std::string*>(GetWindowLongPtrA(page, GWLP_USERDATA));
        // An emptied field empties the macro, as the user sees it.
        if (text) *text = ControlText(GetDlgItem(page, IDC_MACRO_TEXT));
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

void ShowWriteFailure() {
  MessageBoxA(nullptr, "Unable to create build configfile for writing", "Error!", MB_OK | MB_ICONERROR);
}

}  // namespace

void ShowMacroOptions(HWND frame) {
  BuildOptions options;
  const std::string& path = g_settings.macrosFilePath;
  // A file that exists but cannot be read is never replaced by the empty pages shown instead.
  const bool readable =
      ReadBuildOptions(SystemFiles(), path, options) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
  if (!readable) Log().Log("ReadBuildOptions() Error: %s", "Unable to read the macros file.");

  char titles[4][16];
  PROPSHEETPAGEA pages[4] = {};
  for (int k = 0; k < 4; ++k) {
    wsprintfA(titles[k], "Macro %d", k + 1);
    pages[k].dwSize = sizeof pages[k];
    pages[k].dwFlags = PSP_USETITLE;
    pages[k].hInstance = g_app.instance;
    pages[k].pszTemplate = MAKEINTRESOURCEA(IDD_MACRO_PAGE);
    pages[k].pfnDlgProc = MacroPageProc;
    pages[k].pszTitle = titles[k];
    pages[k].lParam = reinterpret_cast<LPARAM>(&options.texts[k]);
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = frame;
  header.hInstance = g_app.instance;
  header.pszCaption = "Macro Options";
  header.nPages = 4;
  header.nStartPage = 0;
  header.ppsp = pages;
  if (PropertySheetA(&header) <= 0) return;  // Cancel, or the sheet could not be shown
  if (!readable || !WriteBuildOptions(SystemFiles(), path, options)) ShowWriteFailure();
}

}  // namespace quillon
