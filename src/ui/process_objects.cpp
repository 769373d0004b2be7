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

// Both paths are taken whole, however long: a cut folder would name another one.
std::string ProgramPath() {
  std::string buffer(kPathBufferSize, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return buffer.substr(0, n);
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);  // with the terminating NUL
  if (needed == 0) return std::string();
  std::string buffer(needed, '\0');
  const DWORD n = GetCurrentDirectoryA(needed, buffer.data());
  return (n > 0 && n < needed) ? buffer.substr(0, n) : std::string();
}

// Loads the settings from the registry at construction and writes them back at destruction.
struct SettingsLifetime {
  SettingsLifetime() {
    RegistryStore store;
    g_settings.Load(store, ProgramPath(), CurrentDirectory(), kProcessSettingsKey);
  }
  ~SettingsLifetime() {
    RegistryStore store;
    g_settings.Save(store, kProcessSettingsKey);
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
  g_settings.Save(store, kProcessSettingsKey);
}

HWND FrameWindow() { return g_app.mdiClient ? GetParent(g_app.mdiClient) : nullptr; }

}  // namespace quillon
