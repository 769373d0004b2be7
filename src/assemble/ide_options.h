// The IDE Options dialog, where the assembler's path and the emulator are set.
#pragma once

#include <windows.h>

namespace quillon {

// The field that has the focus when the dialog opens.
enum class IdeOptionsField { kAssembler, kEmulator };

// The modal IDE Options dialog. 1 after OK, 0 after Cancel.
int ShowIdeOptions(HWND owner, IdeOptionsField focus = IdeOptionsField::kAssembler);

}  // namespace quillon
