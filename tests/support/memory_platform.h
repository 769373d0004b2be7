// Files and folders kept in memory under Windows paths, resolved against a made-up current
// directory, for the unit tests and the fuzz targets. A test can make one file step fail, as a
// full disk, a lost drive or a locked file would.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/text_util.h"
#include "project/project.h"
#include "project/project_platform.h"

namespace quillon {

class MemoryPlatform : public ProjectPlatform, public FileSystem {
 public:
  enum class Step { kNone, kOpen, kRead, kCreateTemporary, kWrite, kFlush, kClose, kSetAttributes, kReplace };

  std::string currentDirectory = "C:";       // drive root, as a folder path without its backslash
  Step failAt = Step::kNone;                 // the step that fails from now on
  std::map<std::string, std::string> files;  // by full path
  std::map<std::string, FileAttributes> attributes;

  // The project's services.
  FileSystem& Files() override { return *this; }
  bool ResolveFullPath(const std::string& path, std::string& fullPath) override {
    std::string full = Absolute(path);
    if (full.size() >= kPathBufferSize) return false;
    fullPath = full;
    return true;
  }
  bool ChangeDirectory(const std::string& folder) override {
    if (!IsFolder(folder)) return false;
    currentDirectory = FolderKey(folder);
    return true;
  }
  bool MakeFolder(const std::string& folder) override {
    const std::string key = FolderKey(folder);
    if (IsFolder(key) || files.count(key) || !IsFolder(FolderOf(key))) return false;
    folders_.insert(key);
    return true;
  }

  // The file steps. A failing read or write still moves half of its bytes.
  bool OpenForReading(const std::string& path, Handle& file) override {
    const std::string full = Absolute(path);
    if (failAt == Step::kOpen || !files.count(full)) return false;
    file = ++lastHandle_;
    open_[file] = {full, 0};
    return true;
  }
  bool Read(Handle file, char* buffer, std::size_t size, std::size_t& read) override {
    auto found = open_.find(file);
    if (found == open_.end()) return false;
    const std::string& bytes = files[found->second.path];
    const std::size_t left = bytes.size() - std::min(found->second.position, bytes.size());
    read = std::min(failAt == Step::kRead ? size / 2 : size, left);
    std::memcpy(buffer, bytes.data() + found->second.position, read);
    found->second.position += read;
    return failAt != Step::kRead;
  }
  bool CreateTemporary(const std::string& folder, std::string& path, Handle& file) override {
    const std::string key = FolderKey(folder);
    if (failAt == Step::kCreateTemporary || !IsFolder(key)) return false;
    do {
      path = key + "\\qln" + std::to_string(++lastTemporary_) + ".tmp";
    } while (files.count(path));
    files[path].clear();
    file = ++lastHandle_;
    open_[file] = {path, 0};
    return true;
  }
  bool Write(Handle file, const char* data, std::size_t size, std::size_t& written) override {
    auto found = open_.find(file);
    if (found == open_.end() || !files.count(found->second.path)) return false;
    written = failAt == Step::kWrite ? size / 2 : size;
    files[found->second.path].append(data, written);
    return failAt != Step::kWrite;
  }
  bool Flush(Handle file) override { return failAt != Step::kFlush && open_.count(file); }
  bool Close(Handle file) override { return open_.erase(file) && failAt != Step::kClose; }
  bool GetAttributes(const std::string& path, FileAttributes& found) override {
    const std::string full = Absolute(path);
    if (IsFolder(full)) {
      found = FileAttributes{0x10, false, true};
      return true;
    }
    if (!files.count(full)) return false;
    found = attributes[full];
    return true;
  }
  bool SetAttributes(const std::string& path, const FileAttributes& given) override {
    const std::string full = Absolute(path);
    if (failAt == Step::kSetAttributes || !files.count(full)) return false;
    attributes[full] = given;
    return true;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    const std::string source = Absolute(from), target = Absolute(to);
    if (failAt == Step::kReplace || !files.count(source) || IsFolder(target) || attributes[target].readOnly)
      return false;
    files[target] = std::move(files[source]);
    attributes[target] = attributes[source];
    files.erase(source);
    attributes.erase(source);
    return true;
  }
  void Remove(const std::string& path) override {
    const std::string full = Absolute(path);
    if (attributes[full].readOnly) return;
    files.erase(full);
    attributes.erase(full);
  }

  // Helpers for the tests, on paths resolved as the project's are.
  void MakeFolders(const std::string& folder) {
    for (std::string key = FolderKey(folder); key.size() > 2; key = FolderOf(key)) folders_.insert(key);
  }
  void RemoveFolder(const std::string& folder) {
    const std::string key = FolderKey(folder), inside = key + "\\";
    folders_.erase(key);
    std::erase_if(folders_, [&](const std::string& f) { return f.starts_with(inside); });
    std::erase_if(files, [&](const auto& file) { return file.first.starts_with(inside); });
  }
  bool Exists(const std::string& path) { return files.count(Absolute(path)) || IsFolder(path); }
  // Puts a file there, making its folders.
  void Write(const std::string& path, const std::string& text) {
    const std::string full = Absolute(path);
    MakeFolders(FolderOf(full));
    files[full] = text;
  }
  std::string Read(const std::string& path) {
    auto found = files.find(Absolute(path));
    return found == files.end() ? std::string() : found->second;
  }
  // The full paths of the files in `folder` (not in its subfolders).
  std::vector<std::string> FilesIn(const std::string& folder) {
    const std::string inside = FolderKey(folder) + "\\";
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files) {
      if (path.starts_with(inside) && path.find('\\', inside.size()) == std::string::npos) names.push_back(path);
    }
    return names;
  }

  // "C:\a\.\b\..\c" style resolution against the current directory, letter case kept.
  std::string Absolute(std::string path) const {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    std::string drive = currentDirectory.substr(0, 2);
    if (path.size() >= 2 && path[1] == ':') {
      drive = path.substr(0, 2);
      path = path.substr(2);
    } else if (path.empty() || path[0] != '\\') {
      path = currentDirectory.substr(2) + "\\" + path;
    }
    std::vector<std::string> parts;
    std::stringstream stream(path);
    for (std::string part; std::getline(stream, part, '\\');) {
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
    }
    std::string full = drive;
    for (const std::string& part : parts) full += "\\" + part;
    return parts.empty() ? full + "\\" : full;
  }

 private:
  struct OpenFile {
    std::string path;
    std::size_t position;
  };

  // A folder's full path without a closing backslash; a drive's root is "C:".
  std::string FolderKey(const std::string& folder) const {
    std::string key = Absolute(folder);
    if (key.ends_with('\\')) key.pop_back();
    return key;
  }
  bool IsFolder(const std::string& folder) const {
    const std::string key = FolderKey(folder);
    return key.size() == 2 || folders_.count(key);
  }

  std::set<std::string> folders_;
  std::map<Handle, OpenFile> open_;
  Handle lastHandle_ = 0;
  int lastTemporary_ = 0;
};

// The entry paths of a group's nodes, in tree order, joined by '|'.
inline std::string GroupPaths(const Project& project, ProjectGroup group) {
  std::string text;
  for (const auto& node : project.Group(group).children) {
    if (!text.empty()) text += "|";
    text += node->entry ? node->entry->path : "<no entry>";
  }
  return text;
}

}  // namespace quillon
