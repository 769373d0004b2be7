#include "ui/bundled_assembler.h"

#include <windows.h>

#include <vector>

#include "base/text_util.h"

namespace quillon {

std::string BundledAssemblerPath() {
  std::vector<char> buffer(32768);
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return "";
  std::string path(buffer.data(), length);
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  path = path.substr(0, slash + 1) + kBundledAssemblerName;
  if (path.size() >= kPathBufferSize) return "";
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
  return path;
}

}  // namespace quillon
