// Reading a whole file and writing one so that a failure never damages the old one.
#pragma once

#include <string>

#include "project/project_platform.h"

namespace quillon {

// Reads the file as bytes into `text`. False when it cannot be opened or read.
bool ReadWholeFile(ProjectPlatform& platform, const std::string& path, std::string& text);

// Writes `text` as bytes to a temporary file beside `path`, then puts it in place of `path`.
// False, with `path` untouched and no temporary file left, when any step fails.
bool WriteFileReplacing(ProjectPlatform& platform, const std::string& path, const std::string& text);

}  // namespace quillon
