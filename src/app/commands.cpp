#include "app/commands.h"

#include "app/app_state.h"
#include "resource.h"

namespace quillon {

bool RunCommand(HWND frame, WPARAM wParam) {
  const int id = LOWORD(wParam);

  if (id >= IDM_RECENTFILE_FIRST && id <= IDM_RECENTFILE_LAST) return false;
  if (id >= IDM_RECENTPROJECT_FIRST && id <= IDM_RECENTPROJECT_LAST) return false;

  switch (id) {
    case IDM_FILE_EXIT:
      PostMessageA(frame, WM_CLOSE, 0, 0);
      return true;
    case IDM_WINDOW_CASCADE:
      SendMessageA(g_app.mdiClient, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0);
      return true;
    case IDM_WINDOW_TILEHORZ:
      SendMessageA(g_app.mdiClient, WM_MDITILE, MDITILE_HORIZONTAL | MDITILE_SKIPDISABLED, 0);
      return true;
    case IDM_WINDOW_TILEVERT:
      SendMessageA(g_app.mdiClient, WM_MDITILE, MDITILE_VERTICAL | MDITILE_SKIPDISABLED, 0);
      return true;

    // Commands whose windows and dialogs are still to come are accepted.
    case IDM_FILE_NEW:
    case IDM_FILE_OPEN:
    case IDM_FILE_SAVE:
    case IDM_FILE_SAVEAS:
    case IDM_FILE_SAVEALL:
    case IDM_FILE_NEWPROJECT:
    case IDM_FILE_OPENPROJECT:
    case IDM_TOOLS_FONT:
    case IDM_TOOLS_OPTIONS:
    case IDM_HELP_ABOUT:
    case IDM_WINDOW_CLOSEALL:
    case IDM_MACRO_1:
    case IDM_MACRO_2:
    case IDM_MACRO_3:
    case IDM_MACRO_4:
    case IDM_MACRO_OPTIONS:
    case IDM_PROJECT_ADDSOURCE:
    case IDM_PROJECT_ADDINCLUDE:
    case IDM_PROJECT_ADDOTHER:
    case IDM_PROJECT_REMOVE:
    case IDM_PROJECT_SETTINGS:
    case IDM_BUILD:
    case IDM_TOOLS_OUTPUTPANE:
    case IDM_EDIT_FIND:
    case IDM_EDIT_FINDNEXT:
      return true;
    case IDM_EDIT_REPLACE:  // accepted; does nothing
      return true;
    default:
      return false;
  }
}

}  // namespace quillon
