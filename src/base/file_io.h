// Reading a whole file, and replacing one so that a failure never damages the old one. The
// steps go through a FileSystem: the system's (file_io_win.cpp) or a test's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

// What a file's attributes say; `bits` are the system's own, kept as they are.
struct FileAttributes {
  std::uint32_t bits = 0;
  bool readOnly = false;
  bool folder = false;
};

class FileSystem {
 public:
  using Handle = std::intptr_t;  // an open file
  virtual ~FileSystem() = default;

  virtual bool OpenForReading(const std::string& path, Handle& file) = 0;
  // Reads at most `size` bytes; `read` is 0 at the end of the file.
  virtual bool Read(Handle file, char* buffer, std::size_t size, std::size_t& read) = 0;
  // Creates a new, empty file with a name of its own in `folder`, open for writing.
  virtual bool CreateTemporary(const std::string& folder, std::string& path, Handle& file) = 0;
  virtual bool Write(Handle file, const char* data, std::size_t size, std::size_t& written) = 0;
  // Sends what was written to the disk.
  virtual bool Flush(Handle file) = 0;
  virtual bool Close(Handle file) = 0;
  // False when there is no such file.
  virtual bool GetAttributes(const std::string& path, FileAttributes& attributes) = 0;
  virtual bool SetAttributes(const std::string& path, const FileAttributes& attributes) = 0;
  // Puts `from` in place of `to`, written through to the disk.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The system's files.
FileSystem& SystemFiles();

// Reads the file as bytes into `bytes`. False, with `bytes` empty, when it cannot be opened or
// read.
bool ReadWholeFile(FileSystem& files, const std::string& path, std::string& bytes);

// Writes `bytes` to a temporary file in the folder of `path`, flushes it, gives it the old
// file's attributes and puts it in place of `path`. False, with `path` untouched and no
// temporary file left, when any step fails or `path` is read-only or a folder.
bool WriteFileReplacing(FileSystem& files, const std::string& path, const std::string& bytes);

}  // namespace quillon
