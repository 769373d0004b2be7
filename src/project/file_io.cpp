#include "project/file_io.h"

#include <cstdio>

namespace quillon {

bool ReadWholeFile(ProjectPlatform& platform, const std::string& path, std::string& text) {
  text.clear();
  std::FILE* file = platform.OpenFile(path, "rb");
  if (file == nullptr) return false;
  char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, n);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  if (!ok) text.clear();
  return ok;
}

bool WriteFileReplacing(ProjectPlatform& platform, const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  std::FILE* file = platform.OpenFile(temporary, "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fclose(file) == 0 && ok;
  if (ok && platform.RenameReplacing(temporary, path)) return true;
  platform.RemoveFile(temporary);
  return false;
}

}  // namespace quillon
