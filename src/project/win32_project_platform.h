// The project model's platform services on Windows.
#pragma once

#include "project/project_platform.h"

namespace quillon {

class Win32ProjectPlatform : public ProjectPlatform {
 public:
  bool ResolveFullPath(const std::string& path, std::string& fullPath) override;
  bool ChangeDirectory(const std::string& folder) override;
  bool MakeFolder(const std::string& folder) override;
  FileSystem& Files() override;
};

}  // namespace quillon
