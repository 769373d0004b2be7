// F7: saves, makes sure the assembler is known, and runs it on a worker thread.
#pragma once

#include <windows.h>

namespace quillon {

// Command 40038. Refuses, with a line in the output pane, while a build is running.
void StartBuild(HWND frame);

}  // namespace quillon
