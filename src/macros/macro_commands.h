// The Macros menu commands: the console build (index 0) and macros 2 to 4 (indexes 1 to 3), and
// the placeholders' values they expand.
#pragma once

#include <windows.h>

#include <string>

#include "macros/expand_macro.h"

namespace quillon {

// Runs one command in a console of the helper's own and returns when that console has gone.
// The frame is disabled meanwhile but keeps painting.
void RunMacroCommand(HWND frame, int index);

// The placeholders' values now: those of the loaded project, or else of the active document;
// paths in full.
PlaceholderValues CurrentPlaceholders();

// The folder a build runs in now: the project's, or else the active document's; empty with
// neither.
std::string CurrentBuildFolder();

}  // namespace quillon
