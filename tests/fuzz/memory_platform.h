// A project platform whose files live in memory, so that a fuzz target can load and save a
// project many thousand times a second without touching the disk.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "base/text_util.h"
#include "project/project_platform.h"

namespace quillon {

class MemoryPlatform : public ProjectPlatform {
 public:
  ~MemoryPlatform() override {
    for (auto& [path, pending] : pending_) std::free(pending.data);
  }

  std::map<std::string, std::string> files;

  bool ResolveFullPath(const std::string& path, std::string& fullPath) override {
    std::string full = path.size() >= 2 && path[1] == ':' ? path : "C:\\prj\\" + path;
    if (full.size() >= kPathBufferSize) return false;
    fullPath = full;
    return true;
  }
  bool ChangeDirectory(const std::string&) override { return true; }
  bool MakeFolder(const std::string&) override { return false; }
  std::FILE* OpenFile(const std::string& path, const char* mode) override {
    if (mode[0] == 'r') {
      auto found = files.find(path);
      if (found == files.end()) return nullptr;
      if (found->second.empty()) return std::fopen("/dev/null", "rb");
      return fmemopen(found->second.data(), found->second.size(), "rb");
    }
    Pending& pending = pending_[path];
    std::free(pending.data);
    pending = Pending();
    return open_memstream(&pending.data, &pending.size);
  }
  bool RenameReplacing(const std::string& from, const std::string& to) override {
    auto found = pending_.find(from);
    if (found == pending_.end()) return false;
    files[to].assign(found->second.data, found->second.size);
    std::free(found->second.data);
    pending_.erase(found);
    return true;
  }
  void RemoveFile(const std::string& path) override {
    files.erase(path);
    auto found = pending_.find(path);
    if (found == pending_.end()) return;
    std::free(found->second.data);
    pending_.erase(found);
  }

 private:
  struct Pending {
    char* data = nullptr;
    std::size_t size = 0;
  };
  std::map<std::string, Pending> pending_;
};

}  // namespace quillon
