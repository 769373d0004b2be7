#include "ui/frame_hooks.h"

#include "base/recent_lists.h"
#include "ui/app_state.h"

namespace quillon {

namespace {
FrameHooks g_hooks;
}

void InstallFrameHooks(const FrameHooks& hooks) { g_hooks = hooks; }

void PanesChanged() {
  if (g_hooks.panesChanged) g_hooks.panesChanged();
}

void EnableSave(bool on) {
  if (g_hooks.enableSave) g_hooks.enableSave(on);
}

bool SaveOpenProject(HWND owner) { return g_hooks.saveProject ? g_hooks.saveProject(owner) : true; }

void FitMdiClientToFrame(HWND frame) {
  RECT client{};
  if (g_hooks.fitMdiClient && frame && GetClientRect(frame, &client)) g_hooks.fitMdiClient(client.right, client.bottom);
}

void AddRecentFile(const std::string& path) {
  AddRecent(g_settings.recentFiles, path, kRecentFilesCapacity);
  if (g_hooks.recentListsChanged) g_hooks.recentListsChanged();
}

void AddRecentProject(const std::string& path) {
  AddRecent(g_settings.recentProjects, path, kRecentProjectsCapacity);
  if (g_hooks.recentListsChanged) g_hooks.recentListsChanged();
}

}  // namespace quillon
