// Full paths as the system resolves them against the current directory.
#pragma once

#include <string>

namespace quillon {

// The full form of `path` (GetFullPathNameA, 260-byte buffer). False when that fails or the
// result would not fit the buffer.
bool ResolveFullPath(const std::string& path, std::string& fullPath);
// The full form of `path`; `path` as it is when it cannot be resolved.
std::string FullPathOrSame(const std::string& path);
// True when a file or folder is at `path`.
bool PathExists(const std::string& path);

}  // namespace quillon
