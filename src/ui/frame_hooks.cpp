#include "ui/frame_hooks.h"

#include "base/full_path.h"
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

void ProjectReplaced() {
  if (g_hooks.projectReplaced) g_hooks.projectReplaced();
}

void FitMdiClientToFrame(HWND frame) {
  RECT client{};
  if (g_hooks.fitMdiClient && frame && GetClientRect(frame, &client)) g_hooks.fitMdiClient(client.right, client.bottom);
}

// The lists hold full paths, so that one file reached by two spellings counts once.
static std::string FullPathForList(const std::string& path) {
  std::string full;
  return ResolveFullPath(path, full) ? full : path;
}

void AddRecentFile(const std::string& path) {
  AddRecentPath(g_settings.recentFiles, FullPathForList(path), kRecentFilesCapacity);
  if (g_hooks.recentListsChanged) g_hooks.recentListsChanged();
}

void AddRecentProject(const std::string& path) {
  AddRecentPath(g_settings.recentProjects, FullPathForList(path), kRecentProjectsCapacity);
  if (g_hooks.recentListsChanged) g_hooks.recentListsChanged();
}

}  // namespace quillon
