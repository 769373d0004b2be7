#include "app/recent_menus.h"

#include "base/recent_lists.h"
#include "resource.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

// Positions of the two submenus in the File popup.
constexpr int kRecentFilesPosition = 9;
constexpr int kRecentProjectsPosition = 10;

HWND g_frame = nullptr;
HMENU g_recentFiles = nullptr;
HMENU g_recentProjects = nullptr;

void Rebuild(HMENU submenu, const std::vector<std::string>& list, int firstId) {
  if (!submenu) return;
  while (GetMenuItemCount(submenu) > 0)
    if (!DeleteMenu(submenu, 0, MF_BYPOSITION)) break;
  for (const RecentMenuItem& item : RecentMenuItems(list, firstId))
    AppendMenuA(submenu, MF_STRING, static_cast<UINT_PTR>(item.id), item.label.c_str());
}

}  // namespace

void KeepRecentMenus(HWND frame) {
  g_frame = frame;
  HMENU file = GetSubMenu(GetMenu(frame), 0);
  g_recentFiles = GetSubMenu(file, kRecentFilesPosition);
  g_recentProjects = GetSubMenu(file, kRecentProjectsPosition);
}

void RebuildRecentMenus() {
  Rebuild(g_recentFiles, g_settings.recentFiles, IDM_RECENTFILE_FIRST);
  Rebuild(g_recentProjects, g_settings.recentProjects, IDM_RECENTPROJECT_FIRST);
  if (g_frame && IsWindow(g_frame)) DrawMenuBar(g_frame);
}

}  // namespace quillon
