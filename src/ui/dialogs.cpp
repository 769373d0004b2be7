#include "ui/dialogs.h"

#include <shellapi.h>

#include <string>

#include "base/text_util.h"
#include "base/version.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/bundled_assembler.h"
#include "ui/file_choosers.h"

namespace quillon {

namespace {

constexpr const char* kProductName = "Quillon";
constexpr const char* kContactLink = "mailto:quillon@larkspurworks.example";
constexpr const char* kWebSite = "https://larkspurworks.example/quillon";
constexpr char kExecutableFilter[] = "Executable files\0*.exe\0";

HINSTANCE ResourceModule() { return g_app.instance ? g_app.instance : GetModuleHandleA(nullptr); }

void OpenWithShell(HWND owner, const char* address) {
  ShellExecuteA(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOnScreen(dialog);
      SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, VersionText(kProductName, kPackedVersion).c_str());
      SetFocus(GetDlgItem(dialog, IDOK));  // Enter closes the box rather than starting the mail program
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_ABOUT_EMAIL:
          OpenWithShell(dialog, kContactLink);
          return TRUE;
        case IDC_ABOUT_WEBSITE:
          OpenWithShell(dialog, kWebSite);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

// The path in the edit; false, after telling the user, when it is too long to be kept whole.
bool PathInEdit(HWND dialog, std::string& path) {
  char text[kPathBufferSize] = "";
  const int length = GetWindowTextLengthA(GetDlgItem(dialog, IDC_OPTIONS_PATH));
  if (length >= static_cast<int>(sizeof text)) {
    const std::string message = FormatLimited(kFormatBufferSize, "The path is too long (%d characters, at most %d).",
                                              length, static_cast<int>(sizeof text) - 1);
    MessageBoxA(dialog, message.c_str(), "Options", MB_OK | MB_ICONERROR);
    return false;
  }
  GetDlgItemTextA(dialog, IDC_OPTIONS_PATH, text, sizeof text);
  path = text;
  return true;
}

// "...": a confirmed choice is kept at once, whatever becomes of the dialog.
void BrowseForAssembler(HWND dialog) {
  std::string path;
  if (!ChooseFileToOpen(dialog, g_settings.startDirectory, kExecutableFilter, path, nullptr, "Find AS1600")) return;
  g_settings.assemblerPath = path;
  SetDlgItemTextA(dialog, IDC_OPTIONS_PATH, path.c_str());
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOver(dialog, GetWindow(dialog, GW_OWNER));
      SendDlgItemMessageA(dialog, IDC_OPTIONS_PATH, EM_LIMITTEXT, kPathBufferSize - 1, 0);
      // With no assembler set, the bundled one is offered; OK keeps it, Cancel leaves the setting empty.
      SetDlgItemTextA(dialog, IDC_OPTIONS_PATH,
                      (g_settings.assemblerPath.empty() ? BundledAssemblerPath() : g_settings.assemblerPath).c_str());
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          std::string path;
          if (!PathInEdit(dialog, path)) return TRUE;  // the dialog stays open
          g_settings.assemblerPath = path;
          EndDialog(dialog, 1);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_OPTIONS_BROWSE:
          BrowseForAssembler(dialog);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void ShowAbout(HWND owner) { DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, 0); }

int ShowIdeOptions(HWND owner) {
  INT_PTR result = DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsProc, 0);
  return result == 1 ? 1 : 0;
}

void CentreOnScreen(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  MoveWindow(window, x, y, width, height, TRUE);
}

void CentreOver(HWND window, HWND other) {
  RECT r, o;
  GetWindowRect(window, &r);
  if (!other || !GetWindowRect(other, &o)) return;
  const int x = o.left + (o.right - o.left) / 2 - (r.right - r.left) / 2;
  const int y = o.top + (o.bottom - o.top) / 2 - (r.bottom - r.top) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

}  // namespace quillon
