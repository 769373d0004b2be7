#include "app/startup.h"

#include <commctrl.h>

#include "app/frame.h"
#include "assemble/build_runner.h"
#include "base/error_log.h"
#include "project/project_commands.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

HMODULE LoadLibrariesForWindows() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = 0xFF;
  InitCommonControlsEx(&icc);

  HMODULE richEdit = LoadLibraryA("riched20.dll");
  if (richEdit) {
    g_app.richEditClass = "RichEdit20A";
  } else if ((richEdit = LoadLibraryA("riched32.dll")) != nullptr) {
    g_app.richEditClass = "RichEdit";
  } else {
    ShowLastErrorBox("LoadLibrary(\"riched32.dll\")");
    g_app.richEditClass.clear();
  }
  return richEdit;
}

void RunMessageLoop(HWND frame, HACCEL accelerators) {
  MSG msg;
  bool altKeyUsed = false;  // an Alt+key shortcut ran while Alt is down
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Alt let go after Alt+Left and the like: the default procedure, which never saw the key the
    // shortcut took, would open the menu bar.
    if (altKeyUsed && (msg.message == WM_SYSKEYUP || msg.message == WM_KEYUP) && msg.wParam == VK_MENU) {
      altKeyUsed = false;
      continue;
    }
    // The menu's keys first: Ctrl+F6 is Command 2; Ctrl+Tab still switches documents.
    if (accelerators && TranslateAcceleratorA(frame, accelerators, &msg)) {
      if (msg.message == WM_SYSKEYDOWN) altKeyUsed = true;
      continue;
    }
    if (g_app.mdiClient && TranslateMDISysAccel(g_app.mdiClient, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int RunQuillon(HINSTANCE instance, int showCommand) {
  Log().Open("Parvane.err");
  HMODULE richEdit = LoadLibrariesForWindows();
  g_app.instance = instance;
  LoadSyntaxFile(g_settings.syntaxFilePath, g_syntaxTable, Log());
  RegisterWindowClasses(instance);
  HWND frame = CreateFrameWindow(instance, showCommand);
  if (frame) {
    OpenFilesAtStart(frame, GetCommandLineA());
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    RunMessageLoop(frame, accelerators);
  }
  // A build still running when the frame closed is stopped; the process does not wait long for
  // it (a worker held up by a message box ends with the process).
  StopBuild();
  JoinBuild(500);
  FreeLibrary(richEdit);
  Log().Close();
  return 0;
}

}  // namespace quillon
