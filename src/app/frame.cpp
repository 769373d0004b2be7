#include "app/frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>

#include "app/commands.h"
#include "app/layout.h"
#include "app/recent_menus.h"
#include "assemble/build_runner.h"
#include "assemble/output_pane.h"
#include "editor/document_window.h"
#include "project/project.h"
#include "project/project_commands.h"
#include "resource.h"
#include "search/search_state.h"
#include "ui/app_state.h"
#include "ui/dropped_file.h"
#include "ui/frame_hooks.h"

namespace quillon {

namespace {

// The popup to which the MDI client appends its list of open documents: "&Window".
constexpr int kWindowMenuIndex = 5;

void OnCreate(HWND frame) {
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
  InstallFrameHooks(FrameHooks{RefitPanes, SetSaveEnabled, SaveProjectOrReport, FitMdiClient, RebuildRecentMenus});
  SetSaveEnabled(false);
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

// Once past the build question, closing cannot be cancelled: the questions are Yes/No.
void OnClose(HWND frame) {
  if (!StopBuildBeforeClose(frame)) return;
  AskToSaveProject(frame);
  CloseAllDocuments(g_app.mdiClient);
  DestroyWindow(frame);
}

void OnDestroy() {
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
}

// Tooltip texts of the toolbar buttons, by command.
bool OnNotify(LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->code != TTN_NEEDTEXTA) return false;
  auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lParam);
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
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXA frame{};
  frame.cbSize = sizeof frame;
  frame.style = CS_HREDRAW | CS_VREDRAW;
  frame.lpfnWndProc = FrameWindowProc;
  frame.hInstance = instance;
  frame.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLON));
  frame.hIconSm = frame.hIcon;
  frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  frame.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
  frame.lpszClassName = kFrameClass;
  if (!RegisterClassExA(&frame)) return false;

  WNDCLASSEXA document{};
  document.cbSize = sizeof document;
  document.style = CS_HREDRAW | CS_VREDRAW;
  document.lpfnWndProc = DocumentWindowProc;
  document.cbWndExtra = kDocumentWindowExtraBytes;
  document.hInstance = instance;
  document.hIcon = frame.hIcon;
  document.hIconSm = frame.hIcon;
  document.hCursor = frame.hCursor;
  document.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
  document.lpszClassName = kDocumentClass;
  return RegisterClassExA(&document) != 0;
}

HWND CreateFrameWindow(HINSTANCE instance, int showCommand) {
  HWND frame = CreateWindowExA(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!frame) return nullptr;
  ShowWindow(frame, showCommand);
  UpdateWindow(frame);
  return frame;
}

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_SIZE:
      FrameSizeChanged(window, wParam, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      if (RunCommand(window, wParam)) return 0;
      break;
    case WM_NOTIFY:
      if (OnNotify(lParam)) return 0;
      break;
    case WM_MENUSELECT:
      ShowMenuHelp(window, wParam, lParam);
      return 0;
    case WM_DROPFILES:
      OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_BUILD_FINISHED:
      OnBuildFinished();
      return 0;
    case WM_QUERYENDSESSION:
      // The same questions as Exit; the answers are Yes/No, so the session may always end.
      AskToSaveProject(window);
      AskToSaveEveryDocument(g_app.mdiClient);
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) WriteSettingsNow();
      return 0;
    case WM_ACTIVATEAPP:
      if (wParam) CheckActiveDocumentFile();
      break;
  }
  return DefFrameProcA(window, g_app.mdiClient, message, wParam, lParam);
}

}  // namespace quillon
