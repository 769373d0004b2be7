// The IDE Options dialog, where the assembler's path is set.
#pragma once

#include <windows.h>

namespace quillon {

// The modal IDE Options dialog. 1 after OK, 0 after Cancel.
int ShowIdeOptions(HWND owner);

}  // namespace quillon
