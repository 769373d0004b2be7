#include "app/frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>

#include "app/commands.h"
#include "app/layout.h"
#include "app/recent_menus.h"
#include "assemble/build_runner.h"
#include "assemble/insight_commands.h"
#include "assemble/insight_editing.h"
#include "assemble/output_pane.h"
#include "debug/debug_editor.h"
#include "debug/debug_panes.h"
#include "debug/debugger.h"
#include "editor/document_window.h"
#include "editor/edit_commands.h"
#include "macros/run_command.h"
#include "project/project.h"
#include "project/project_commands.h"
#include "resource.h"
#include "search/search_state.h"
#include "ui/app_state.h"
#include "ui/dropped_file.h"
#include "ui/frame_hooks.h"
#include "ui/window.h"

namespace quillon {

namespace {

// The popup to which the MDI client appends its list of open documents: "&Window".
constexpr int kWindowMenuIndex = 7;

// The object behind the frame window; the program's state stays in g_app.
class Frame : public WindowObject {
 public:
  bool OnCreate() override;
  bool OnDestroy() override;
  bool OnClose() override;
  bool OnNotify(NMHDR* header) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnSize(WPARAM kind, int width, int height) override {
    FrameSizeChanged(Handle(), kind, width, height);
    return true;
  }
  bool OnCommand(WPARAM wParam, LPARAM) override { return RunCommand(Handle(), wParam); }
  LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) override {
    return DefFrameProcA(Handle(), g_app.mdiClient, message, wParam, lParam);
  }
};

// Another project, or none: the last one's build lines, their marks, the F4 note and what the
// tips, the gutter and Go to Symbol knew of its image go.
void DropLastBuild() {
  if (g_app.outputPane) g_app.outputPane->Clear();
  ForgetLastBuildInsight();
  RefreshAfterBuild();
}

bool Frame::OnCreate() {
  HWND frame = Handle();
  g_app.frameBorder = GetSystemMetrics(SM_CXFRAME);

  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = GetSubMenu(GetMenu(frame), kWindowMenuIndex);
  ccs.idFirstChild = IDM_FIRSTCHILD;
  g_app.mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                                    reinterpret_cast<HMENU>(IDC_MDICLIENT), g_app.instance, &ccs);
  ShowWindow(g_app.mdiClient, SW_SHOW);

  CreateAppProject(frame);
  ResetFirstLayout();
  g_app.outputPane = new (std::nothrow) OutputPane(frame, g_app.instance);
  g_app.search = new (std::nothrow) SearchState();

  g_app.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                                    reinterpret_cast<HMENU>(IDC_STATUSBAR), g_app.instance, nullptr);
  CreateToolbar(frame);
  SetupMenuHelp(GetMenu(frame));
  DragAcceptFiles(frame, TRUE);
  KeepRecentMenus(frame);
  RebuildRecentMenus();
  InstallFrameHooks(
      FrameHooks{RefitPanes, SetSaveEnabled, SaveProjectOrReport, FitMdiClient, RebuildRecentMenus, DropLastBuild});
  SetSaveEnabled(false);
  UpdateBuildCommands();
  UpdateDebugCommands(frame);
  InstallDebugEditorHooks();
  CheckMenuItem(GetMenu(frame), IDM_TOOLS_LINENUMBERS, MF_BYCOMMAND | (g_settings.lineNumbers ? MF_CHECKED : 0));
  StartInsightEditing(frame);
  return true;
}

// A project file (".qlp" in any case) replaces the project; any other file opens as a document.
void OnDropFiles(HWND frame, HDROP drop) {
  std::string path;
  if (!TakeDroppedFile(frame, drop, path)) return;
  if (IsProjectFileName(path))
    OpenDroppedProject(frame, path);
  else
    OpenDocumentAtLine(path, -1);
}

// Cancel on any question keeps the IDE open with every document, and a running build goes on
// until the last question is answered: the save questions first, then the build's.
bool Frame::OnClose() {
  HWND frame = Handle();
  if (!AskToSaveProject(frame) || !AskToSaveEveryDocument(g_app.mdiClient)) return true;
  if (!StopBuildBeforeClose(frame)) return true;
  EndDebugging();  // the simulator's thread ends with the program
  DestroyWindow(frame);
  return true;
}

bool Frame::OnDestroy() {
  StopInsightEditing();
  EndDebugging();
  DestroyDebugPanes();
  DestroyAppProject();
  delete g_app.outputPane;
  g_app.outputPane = nullptr;
  delete g_app.search;
  g_app.search = nullptr;
  g_app.mdiClient = nullptr;
  g_app.statusBar = nullptr;
  g_app.toolBar = nullptr;
  InstallFrameHooks(FrameHooks{});
  PostQuitMessage(0);
  return true;
}

// Tooltip texts of the toolbar buttons, by command.
bool Frame::OnNotify(NMHDR* header) {
  if (header->code != TTN_NEEDTEXTA) return false;
  auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
  int text = 0;
  switch (header->idFrom) {
    case IDM_FILE_NEW:
      text = 4051;
      break;
    case IDM_FILE_OPEN:
      text = 4052;
      break;
    case IDM_FILE_SAVE:
      text = 4053;
      break;
    case IDM_FILE_SAVEAS:
      text = 4054;
      break;
    case IDM_FILE_SAVEALL:
      text = 4055;
      break;
    case IDM_FILE_OPENPROJECT:
      text = 4057;
      break;
    case IDM_BUILD_RUN:
      text = IDM_BUILD_RUN;
      break;
    case IDM_BUILD:
      text = IDS_TIP_BUILD;
      break;
    case IDM_BUILD_STOP:
      text = IDS_TIP_STOP;
      break;
  }
  if (text) {
    tip->hinst = g_app.instance;
    tip->lpszText = MAKEINTRESOURCEA(text);
  }
  return true;
}

void OnBuildFinished() {
  if (!g_app.buildThread) return;
  WaitForSingleObject(g_app.buildThread, INFINITE);
  CloseHandle(g_app.buildThread);
  g_app.buildThread = nullptr;
  if (g_app.outputPane) g_app.outputPane->Flush();
  UpdateBuildCommands();
}

bool Frame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND window = Handle();
  switch (message) {
    case WM_MENUSELECT:
      ShowMenuHelp(window, wParam, lParam);
      return true;
    case WM_DROPFILES:
      OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
      return true;
    case WM_BUILD_FINISHED:
      OnBuildFinished();
      RefreshAfterBuild();
      FinishRun();
      DebugBuildFinished(window);
      return true;
    case WM_DEBUG_STOPPED:
    case WM_DEBUG_NOTE:
      return DebugMessage(window, message, wParam);
    case WM_QUERYENDSESSION:
      // The same questions as Exit; Cancel refuses the end of the session.
      result = AskToSaveProject(window) && AskToSaveEveryDocument(g_app.mdiClient);
      return true;
    case WM_ENDSESSION:
      if (wParam) WriteSettingsNow();
      return true;
    case WM_ACTIVATEAPP:
      if (wParam) CheckActiveDocumentFile();
      break;
    case WM_INITMENUPOPUP:  // the Edit commands follow the active document
      EnableEditCommands(reinterpret_cast<HMENU>(wParam), g_app.activeDocument);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) CheckActiveDocumentFile();
      break;
  }
  return false;
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  WindowClassSpec frame;
  frame.name = kFrameClass;
  frame.procedure = WindowObject::ClassProcedure<Frame>;
  frame.menu = MAKEINTRESOURCEA(IDR_MAINMENU);
  return RegisterWindowClass(instance, frame) && RegisterDocumentClass(instance);
}

HWND CreateFrameWindow(HINSTANCE instance, int showCommand) {
  HWND frame = CreateWindowExA(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!frame) return nullptr;
  ShowWindow(frame, showCommand);
  UpdateWindow(frame);
  return frame;
}

}  // namespace quillon
