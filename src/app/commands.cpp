#include "app/commands.h"

#include "app/about_box.h"
#include "app/help_menu.h"
#include "app/layout.h"
#include "assemble/build_runner.h"
#include "assemble/ide_options.h"
#include "assemble/insight_commands.h"
#include "assemble/insight_editing.h"
#include "assemble/output_pane.h"
#include "assemble/symbol_navigation.h"
#include "debug/debugger.h"
#include "editor/caret_and_font.h"
#include "editor/document_window.h"
#include "editor/edit_commands.h"
#include "editor/go_to_line.h"
#include "editor/gutter.h"
#include "macros/macro_commands.h"
#include "macros/macro_options.h"
#include "macros/run_command.h"
#include "project/file_pane.h"
#include "project/project_commands.h"
#include "project/project_dialogs.h"
#include "resource.h"
#include "search/replace_dialog.h"
#include "search/search_engine.h"
#include "ui/app_state.h"

namespace quillon {

bool RunCommand(HWND frame, WPARAM wParam) {
  const int id = LOWORD(wParam);

  // The recent entries are reported as not handled after they have run.
  if (id >= IDM_RECENTFILE_FIRST && id <= IDM_RECENTFILE_LAST) {
    std::size_t index = static_cast<std::size_t>(id - IDM_RECENTFILE_FIRST);
    if (index < g_settings.recentFiles.size()) OpenDocumentAtLine(g_settings.recentFiles[index], -1);
    return false;
  }
  if (id >= IDM_RECENTPROJECT_FIRST && id <= IDM_RECENTPROJECT_LAST) {
    std::size_t index = static_cast<std::size_t>(id - IDM_RECENTPROJECT_FIRST);
    if (index < g_settings.recentProjects.size()) SwitchToProject(g_settings.recentProjects[index]);
    return false;
  }

  switch (id) {
    case IDM_FILE_NEW:
      NewDocument(g_app.mdiClient);
      return true;
    case IDM_FILE_OPEN:
      OpenDocument(g_app.mdiClient);
      return true;
    case IDM_FILE_SAVE:
      SaveDocument(g_app.activeDocument);
      return true;
    case IDM_FILE_SAVEAS:
      SaveDocumentAs(g_app.activeDocument);
      return true;
    case IDM_FILE_SAVEALL:
      SaveAllDocuments(g_app.mdiClient);
      return true;
    case IDM_FILE_OPENPROJECT:
      OpenProjectCommand(g_app.mdiClient);
      return true;
    case IDM_FILE_EXIT:
      PostMessageA(frame, WM_CLOSE, 0, 0);
      return true;
    case IDM_TOOLS_OPTIONS:
      ShowIdeOptions(frame);
      return true;
    case IDM_HELP_ABOUT:
      ShowAbout(frame);
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
    case IDM_WINDOW_CLOSEALL:
      CloseAllDocuments(g_app.mdiClient);
      return true;
    case IDM_BUILD:
      StartBuild(frame);
      UpdateBuildCommands();
      return true;
    case IDM_TOOLS_FONT:
      ChooseEditorFont(g_app.mdiClient);
      return true;
    case IDM_BUILD_STOP:
      StopBuild();
      return true;
    case IDM_TOOLS_OUTPUTPANE:
      ToggleOutputPane(frame, HIWORD(wParam) == 1);
      return true;
    case IDM_EDIT_UNDO:
    case IDM_EDIT_REDO:
    case IDM_EDIT_CUT:
    case IDM_EDIT_COPY:
    case IDM_EDIT_PASTE:
    case IDM_EDIT_DELETE:
    case IDM_EDIT_SELECTALL:
      RunEditCommand(g_app.activeDocument, id);
      return true;
    case IDM_EDIT_FIND:
      if (g_app.search) FindCommand(frame, *g_app.search);
      return true;
    case IDM_EDIT_FINDNEXT:
      if (g_app.search) FindNextCommand(frame, *g_app.search);
      return true;
    case IDM_EDIT_REPLACE:
      if (g_app.search) ReplaceCommand(frame, *g_app.search);
      return true;
    case IDM_PROJECT_ADDSOURCE:
      if (g_app.project) AddSourceFilesCommand(frame, *g_app.project);
      return true;
    case IDM_PROJECT_ADDINCLUDE:
      if (g_app.project) AddIncludeFilesCommand(frame, *g_app.project);
      return true;
    case IDM_PROJECT_ADDOTHER:
      if (g_app.project) AddOtherFilesCommand(frame, *g_app.project);
      return true;
    case IDM_PROJECT_REMOVE:
      if (g_app.filePane) g_app.filePane->RemoveSelectedFile();
      return true;
    case IDM_FILE_NEWPROJECT:
      NewProjectCommand(frame);
      return true;
    case IDM_PROJECT_SETTINGS:
      if (g_app.project) ProjectSettingsCommand(frame, *g_app.project);
      return true;
    case IDM_PROJECT_CLOSE:
      CloseProjectCommand(frame);
      return true;
    case IDM_MACRO_1:
    case IDM_MACRO_2:
    case IDM_MACRO_3:
    case IDM_MACRO_4:
      RunMacroCommand(frame, id - IDM_MACRO_1);
      return true;
    // Run (F5).
    case IDM_BUILD_RUN:
      StartRun(frame);
      UpdateBuildCommands();
      return true;
    case IDM_MACRO_OPTIONS:
      ShowMacroOptions(frame);
      return true;
    // Help
    case IDM_HELP_GUIDE:
      OpenUserGuide(frame, g_settings.exeDirectory);
      return true;
    case IDM_HELP_SHORTCUTS:
      ShowKeyboardShortcuts(frame);
      return true;
    // Build menu, error navigation, Go to Line, Find Previous.
    case IDM_BUILD_NEXTERROR:
    case IDM_BUILD_PREVERROR:
      if (g_app.outputPane) g_app.outputPane->GoToError(id == IDM_BUILD_NEXTERROR);
      return true;
    case IDM_EDIT_GOTOLINE:
      GoToLineCommand(frame);
      return true;
    case IDM_TOOLS_LINENUMBERS:
      ToggleLineNumbers(frame);
      return true;
    case IDM_EDIT_FINDPREV:
      if (g_app.search) FindPreviousCommand(frame, *g_app.search);
      return true;
    // Go to Definition, Go Back, Go to Symbol.
    case IDM_EDIT_GOTODEFINITION:
      GoToDefinitionCommand(frame);
      return true;
    case IDM_EDIT_GOBACK:
      GoBackCommand(frame);
      return true;
    case IDM_EDIT_GOTOSYMBOL:
      GoToSymbolCommand(frame);
      return true;
    // Find All References, Rename Symbol, the memory map.
    case IDM_EDIT_FINDREFERENCES:
      FindAllReferencesCommand(frame);
      return true;
    case IDM_EDIT_RENAMESYMBOL:
      RenameSymbolCommand(frame);
      return true;
    case IDM_BUILD_MEMORYMAP:
      MemoryMapCommand(frame);
      return true;
    case IDM_EDIT_COMPLETE:
      CompleteWordCommand(frame);
      return true;
    case IDM_TOOLS_CYCLECOLUMN:
      ToggleCycleColumn(frame);
      return true;
    default:
      return DebugCommand(frame, id);
  }
}

}  // namespace quillon
