#include <windows.h>

#include "app/startup.h"
#include "ui/app_state.h"

// Constant-initialised, so it is set before the settings are loaded.
extern const char* const quillon::kProcessSettingsKey = quillon::kSettingsKeyPath;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return quillon::RunQuillon(instance, showCommand);
}
