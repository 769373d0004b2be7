// The system's files, through the Win32 file calls.
#include <windows.h>

#include "base/file_io.h"

namespace quillon {

namespace {

HANDLE ToHandle(FileSystem::Handle file) { return reinterpret_cast<HANDLE>(file); }
FileSystem::Handle FromHandle(HANDLE file) { return reinterpret_cast<FileSystem::Handle>(file); }

class Win32Files : public FileSystem {
 public:
  bool OpenForReading(const std::string& path, Handle& file) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    file = FromHandle(handle);
    return true;
  }
  bool Read(Handle file, char* buffer, std::size_t size, std::size_t& read) override {
    DWORD n = 0;
    const bool ok = ReadFile(ToHandle(file), buffer, static_cast<DWORD>(size), &n, nullptr) != 0;
    read = n;
    return ok;
  }
  bool CreateTemporary(const std::string& folder, std::string& path, Handle& file) override {
    char name[MAX_PATH] = "";
    if (!GetTempFileNameA(folder.c_str(), "qln", 0, name)) return false;
    HANDLE handle = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      DeleteFileA(name);
      return false;
    }
    path = name;
    file = FromHandle(handle);
    return true;
  }
  bool Write(Handle file, const char* data, std::size_t size, std::size_t& written) override {
    DWORD n = 0;
    const bool ok = WriteFile(ToHandle(file), data, static_cast<DWORD>(size), &n, nullptr) != 0;
    written = n;
    return ok;
  }
  bool Flush(Handle file) override { return FlushFileBuffers(ToHandle(file)) != 0; }
  bool Close(Handle file) override { return CloseHandle(ToHandle(file)) != 0; }
  bool GetAttributes(const std::string& path, FileAttributes& attributes) override {
    const DWORD bits = GetFileAttributesA(path.c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) return false;
    attributes.bits = bits;
    attributes.readOnly = (bits & FILE_ATTRIBUTE_READONLY) != 0;
    attributes.folder = (bits & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
  }
  bool SetAttributes(const std::string& path, const FileAttributes& attributes) override {
    return SetFileAttributesA(path.c_str(), attributes.bits ? attributes.bits : FILE_ATTRIBUTE_NORMAL) != 0;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  void Remove(const std::string& path) override { DeleteFileA(path.c_str()); }
};

}  // namespace

FileSystem& SystemFiles() {
  static Win32Files files;
  return files;
}

}  // namespace quillon
