#include "ui/bundled_assembler.h"

#include <windows.h>

#include "base/text_util.h"
#include "ui/app_state.h"

namespace quillon {

std::string BundledAssemblerPath() {
  if (g_settings.exeDirectory.empty()) return "";
  std::string path = g_settings.exeDirectory + "\\" + kBundledAssemblerName;
  if (path.size() >= kPathBufferSize) return "";
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
  return path;
}

}  // namespace quillon
