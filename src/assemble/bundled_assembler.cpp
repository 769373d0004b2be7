#include "assemble/bundled_assembler.h"

#include <windows.h>

#include "base/text_util.h"

namespace quillon {

std::string BundledAssemblerPath(const std::string& programFolder) {
  if (programFolder.empty()) return "";
  const std::string path = programFolder + "\\" + kBundledAssemblerName;
  if (path.size() >= kPathBufferSize) return "";
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
  return path;
}

}  // namespace quillon
