// Run (F5): builds as F7 does, then starts the emulator on the image.
#pragma once

#include <windows.h>

namespace quillon {

// Command IDM_BUILD_RUN. Without an emulator path it says so in the output pane and opens IDE
// Options on the emulator field (OK with a path goes on). Otherwise it starts the build and
// fixes the emulator's command line.
void StartRun(HWND frame);

// After a build worker has ended: when that build was a run's and it succeeded, starts the
// emulator outside the build's job, so that it outlives the program.
void FinishRun();

}  // namespace quillon
