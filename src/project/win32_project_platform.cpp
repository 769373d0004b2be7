#include "project/win32_project_platform.h"

#include <windows.h>

#include "app/text_util.h"

namespace quillon {

bool Win32ProjectPlatform::ResolveFullPath(const std::string& path, std::string& fullPath) {
  char buffer[kPathBufferSize];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return false;
  fullPath.assign(buffer, length);
  return true;
}

bool Win32ProjectPlatform::ChangeDirectory(const std::string& folder) {
  return SetCurrentDirectoryA(folder.c_str()) != 0;
}

bool Win32ProjectPlatform::MakeFolder(const std::string& folder) {
  return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

std::FILE* Win32ProjectPlatform::OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool Win32ProjectPlatform::RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void Win32ProjectPlatform::RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace quillon
