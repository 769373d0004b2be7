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

FileSystem& Win32ProjectPlatform::Files() { return SystemFiles(); }

}  // namespace quillon
