#include "macros/macro_options.h"

#include <commctrl.h>

#include <string>

#include "base/error_log.h"
#include "macros/build_options.h"
#include "macros/macro_commands.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

// One page of the sheet: the text of one macro, with the preview of what it expands to.
class MacroPage : public Dialog {
 public:
  MacroPage(std::string& text, bool first) : text_(text), first_(first) {}

 protected:
  bool OnInit() override {
    CentreOver(GetParent(Handle()), FrameWindow());
    SetText(IDC_MACRO_TEXT, text_);
    if (first_) SetText(IDC_MACRO_NOTE, "Command 1 (Ctrl+F5) builds; this text is not run.");
    UpdatePreview();
    // The active document or the project may change while the sheet is open.
    SetTimer(Handle(), kRefreshTimer, kRefreshMilliseconds, Refresh);
    return true;
  }
  bool OnCommand(int id, int code) override {
    if (id == IDC_MACRO_TEXT && code == EN_CHANGE) UpdatePreview();
    return false;
  }
  bool OnNotify(const NMHDR& header) override {
    // The sheet has no Apply button, so every apply is the OK button's.
    if (header.code != PSN_APPLY) return false;
    text_ = Text(IDC_MACRO_TEXT);  // an emptied field empties the macro, as the user sees it
    SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, PSNRET_NOERROR);
    return true;
  }

 private:
  static constexpr UINT_PTR kRefreshTimer = 1;
  static constexpr UINT kRefreshMilliseconds = 300;

  static void CALLBACK Refresh(HWND page, UINT, UINT_PTR, DWORD) {
    if (auto* object = static_cast<MacroPage*>(Dialog::Of(page))) object->RefreshValues();
  }
  void RefreshValues() {
    const PlaceholderValues values = CurrentPlaceholders();
    if (values.assembler != values_.assembler || values.local != values_.local || values.outdir != values_.outdir ||
        values.input != values_.input || values.output != values_.output)
      UpdatePreview();
  }
  void UpdatePreview() {
    values_ = CurrentPlaceholders();
    SetText(IDC_MACRO_PREVIEW, ExpandPlaceholders(Text(IDC_MACRO_TEXT), values_));
  }

  std::string& text_;
  bool first_;
  PlaceholderValues values_;  // those the preview shows
};

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
  MacroPage objects[4] = {MacroPage(options.texts[0], true), MacroPage(options.texts[1], false),
                          MacroPage(options.texts[2], false), MacroPage(options.texts[3], false)};
  PROPSHEETPAGEA pages[4] = {};
  for (int k = 0; k < 4; ++k) {
    wsprintfA(titles[k], "Macro %d", k + 1);
    pages[k].dwSize = sizeof pages[k];
    pages[k].dwFlags = PSP_USETITLE;
    pages[k].hInstance = g_app.instance;
    pages[k].pszTemplate = MAKEINTRESOURCEA(IDD_MACRO_PAGE);
    pages[k].pfnDlgProc = Dialog::PageProc;
    pages[k].pszTitle = titles[k];
    pages[k].lParam = reinterpret_cast<LPARAM>(&objects[k]);
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
