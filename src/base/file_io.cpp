#include "base/file_io.h"

#include <algorithm>

#include "base/text_util.h"

namespace quillon {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// The folder the temporary file goes in: the file's own, so that the replace stays on one disk.
std::string FolderForTemporaryFile(const std::string& path) {
  std::string folder = FolderOf(path);
  if (folder == path) return ".";
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive's root, not its current folder
  return folder;
}

bool WriteAll(FileSystem& files, FileSystem::Handle file, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t size = std::min(kBlockSize, bytes.size() - done);
    std::size_t written = 0;
    if (!files.Write(file, bytes.data() + done, size, written) || written != size) return false;
    done += size;
  }
  return true;
}

}  // namespace

bool ReadWholeFile(FileSystem& files, const std::string& path, std::string& bytes) {
  bytes.clear();
  FileSystem::Handle file = 0;
  if (!files.OpenForReading(path, file)) return false;
  std::string block(kBlockSize, '\0');
  bool ok = true;
  for (;;) {
    std::size_t read = 0;
    if (!files.Read(file, block.data(), block.size(), read)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    bytes.append(block.data(), read);
  }
  ok = files.Close(file) && ok;
  if (!ok) bytes.clear();
  return ok;
}

bool WriteFileReplacing(FileSystem& files, const std::string& path, const std::string& bytes) {
  FileAttributes attributes;
  const bool exists = files.GetAttributes(path, attributes);
  if (exists && (attributes.readOnly || attributes.folder)) return false;
  std::string temporary;
  FileSystem::Handle file = 0;
  if (!files.CreateTemporary(FolderForTemporaryFile(path), temporary, file)) return false;
  bool ok = WriteAll(files, file, bytes);
  ok = ok && files.Flush(file);
  ok = files.Close(file) && ok;
  ok = ok && (!exists || files.SetAttributes(temporary, attributes));
  ok = ok && files.Replace(temporary, path);
  if (!ok) {
    files.SetAttributes(temporary, FileAttributes{});
    files.Remove(temporary);
  }
  return ok;
}

}  // namespace quillon
