#include "ui/frame_hooks.h"

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

}  // namespace quillon
