#include "ui/dropped_file.h"

#include "base/text_util.h"

namespace quillon {

bool TakeDroppedFile(HWND owner, HDROP drop, std::string& path) {
  char buffer[kPathBufferSize] = "";
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, buffer, sizeof buffer);
  UINT length = count == 1 ? DragQueryFileA(drop, 0, buffer, sizeof buffer) : 0;
  DragFinish(drop);
  if (count >= 2) MessageBoxA(owner, "Please only drop one file at a time", "Error", MB_OK);
  if (length == 0) return false;
  path.assign(buffer, length);
  return true;
}

}  // namespace quillon
