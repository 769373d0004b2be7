#include "project/win32_project_platform.h"

#include <windows.h>

#include "base/full_path.h"

namespace quillon {

bool Win32ProjectPlatform::ResolveFullPath(const std::string& path, std::string& fullPath) {
  return quillon::ResolveFullPath(path, fullPath);
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
