// The platform services the project model uses. Paths are Windows paths.
#pragma once

#include <string>

#include "base/file_io.h"

namespace quillon {

class ProjectPlatform {
 public:
  virtual ~ProjectPlatform() = default;

  // The full form of `path` against the current directory. False when that fails or would
  // not fit in a path buffer (259 characters).
  virtual bool ResolveFullPath(const std::string& path, std::string& fullPath) = 0;
  // Makes `folder` the process's current directory.
  virtual bool ChangeDirectory(const std::string& folder) = 0;
  // Creates one folder level; false when it exists already or cannot be made.
  virtual bool MakeFolder(const std::string& folder) = 0;
  // The files the project reads and writes.
  virtual FileSystem& Files() = 0;
};

}  // namespace quillon
