#include "base/full_path.h"

#include <windows.h>

#include "base/text_util.h"

namespace quillon {

bool ResolveFullPath(const std::string& path, std::string& fullPath) {
  char buffer[kPathBufferSize];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return false;
  fullPath.assign(buffer, length);
  return true;
}

std::string FullPathOrSame(const std::string& path) {
  std::string full;
  return ResolveFullPath(path, full) ? full : path;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace quillon
