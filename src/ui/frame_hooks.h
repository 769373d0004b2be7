// What the subsystems ask of the frame. The frame installs the hooks when it is created; until
// then (and in a program without a frame) each call does the harmless thing.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

struct FrameHooks {
  void (*panesChanged)() = nullptr;                       // a pane was shown, hidden or resized: refit the layout
  void (*enableSave)(bool on) = nullptr;                  // Save in the menu and on the toolbar
  bool (*saveProject)(HWND owner) = nullptr;              // true when saved or nothing to save
  void (*fitMdiClient)(int width, int height) = nullptr;  // the file pane changed size
  void (*recentListsChanged)() = nullptr;                 // rebuild the Recent submenus
  void (*projectReplaced)() = nullptr;                    // the project open before is gone
};

// Installs the frame's hooks (nullptrs remove them).
void InstallFrameHooks(const FrameHooks& hooks);

void PanesChanged();
void EnableSave(bool on);
// Saves the loaded project through the frame; true when there is no frame or nothing to save.
bool SaveOpenProject(HWND owner);
// The file pane's size changed: fit the MDI client to the frame's client size.
void FitMdiClientToFrame(HWND frame);
// Adds a path to the Recent Files or Recent Projects list and rebuilds that submenu.
void AddRecentFile(const std::string& path);
void AddRecentProject(const std::string& path);
// The project open before was replaced or closed: the frame drops what its last build left.
void ProjectReplaced();

}  // namespace quillon
