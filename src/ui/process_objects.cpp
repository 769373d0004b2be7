// The objects that live for the whole process, constructed before the entry runs, in this
// order, and destroyed in reverse after it returns: the error log, the keyword table, then the
// settings.
#include <windows.h>

#include "base/error_log.h"
#include "base/registry_store_win.h"
#include "base/text_util.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

std::string ProgramPath() {
  char buffer[kPathBufferSize] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return n ? std::string(buffer, n < sizeof buffer ? n : sizeof buffer - 1) : std::string();
}

std::string CurrentDirectory() {
  char buffer[kPathBufferSize] = {};
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

// Loads the settings from the registry at construction and writes them back at destruction.
struct SettingsLifetime {
  SettingsLifetime() {
    RegistryStore store;
    g_settings.Load(store, ProgramPath(), CurrentDirectory());
  }
  ~SettingsLifetime() {
    RegistryStore store;
    g_settings.Save(store);
  }
};

ErrorLog& g_errorLogFirst = Log();

}  // namespace

AppState g_app;
SyntaxTable g_syntaxTable;
Settings g_settings;

namespace {
SettingsLifetime g_settingsLifetime;
}

void WriteSettingsNow() {
  RegistryStore store;
  g_settings.Save(store);
}

HWND FrameWindow() { return g_app.mdiClient ? GetParent(g_app.mdiClient) : nullptr; }

}  // namespace quillon
