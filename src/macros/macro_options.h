// The Macro Options sheet: four pages, one per macro, with a live preview of the placeholders.
#pragma once

#include <windows.h>

namespace quillon {

// Command 8004. OK writes all four macros to macros.cfg; Cancel writes nothing.
void ShowMacroOptions(HWND frame);

}  // namespace quillon
