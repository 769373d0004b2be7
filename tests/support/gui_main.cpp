// Entry of the GUI tests: the libraries and window classes of the program, then the tests.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/frame.h"
#include "app/startup.h"
#include "ui/app_state.h"

// The tests keep their settings apart from the user's (constant-initialised, so it is set
// before the settings are loaded).
extern const char* const quillon::kProcessSettingsKey = "Software\\LarkspurWorks\\Quillon GUI tests";

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  quillon::g_app.instance = instance;
  HMODULE richEdit = quillon::LoadLibrariesForWindows();
  if (!quillon::RegisterWindowClasses(instance)) {
    fprintf(stderr, "cannot register the window classes\n");
    return 1;
  }
  int result = RUN_ALL_TESTS();
  FreeLibrary(richEdit);
  return result;
}
