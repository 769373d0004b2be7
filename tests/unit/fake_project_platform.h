// A test platform for the project model: Windows paths against a made-up current directory,
// with the files themselves kept in a host folder (drive C: is <host>/C).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_util.h"
#include "project/project.h"
#include "project/project_platform.h"

namespace quillon {

class FakeProjectPlatform : public ProjectPlatform {
 public:
  FakeProjectPlatform() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    host_ = std::filesystem::path(::testing::TempDir()) / "quillon_project" /
            (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::remove_all(host_);
    std::filesystem::create_directories(host_ / "C");
  }
  ~FakeProjectPlatform() override { std::filesystem::remove_all(host_); }

  std::string currentDirectory = "C:";  // drive root, as a folder path without its backslash
  bool failReplace = false;
  // A file fault for every file opened from now on, as a full disk or a lost drive would give.
  enum class Fault { kNone, kShortWrite, kFailedClose, kReadError };
  Fault fault = Fault::kNone;

  bool ResolveFullPath(const std::string& path, std::string& fullPath) override {
    std::string full = Absolute(path);
    if (full.size() >= kPathBufferSize) return false;
    fullPath = full;
    return true;
  }
  bool ChangeDirectory(const std::string& folder) override {
    if (!std::filesystem::is_directory(Host(folder))) return false;
    currentDirectory = Absolute(folder);
    return true;
  }
  bool MakeFolder(const std::string& folder) override {
    std::error_code error;
    return std::filesystem::create_directory(Host(folder), error);
  }
  std::FILE* OpenFile(const std::string& path, const char* mode) override {
    std::FILE* file = std::fopen(Host(path).c_str(), mode);
    return file && fault != Fault::kNone ? Faulty(file) : file;
  }
  bool RenameReplacing(const std::string& from, const std::string& to) override {
    if (failReplace) return false;
    std::remove(Host(to).c_str());  // the C runtime on Windows does not rename over a file
    return std::rename(Host(from).c_str(), Host(to).c_str()) == 0;
  }
  void RemoveFile(const std::string& path) override { std::remove(Host(path).c_str()); }

  // Helpers for the tests.
  void MakeFolders(const std::string& folder) { std::filesystem::create_directories(Host(folder)); }
  void RemoveFolder(const std::string& folder) { std::filesystem::remove_all(Host(folder)); }
  bool Exists(const std::string& path) { return std::filesystem::exists(Host(path)); }
  void Write(const std::string& path, const std::string& text) {
    MakeFolders(FolderOf(Absolute(path)));
    std::ofstream(Host(path), std::ios::binary) << text;
  }
  std::string Read(const std::string& path) {
    std::ifstream file(Host(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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
#if defined(__GLIBC__)
  // The real stream behind one that fails as `fault` says: a write stops half-way (and reports
  // an error), closing fails after the bytes went out, or reading fails after the first block.
  struct FaultyStream {
    std::FILE* real;
    Fault fault;
    bool failed = false;
  };
  std::FILE* Faulty(std::FILE* real) {
    cookie_io_functions_t calls{};
    calls.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
      auto* s = static_cast<FaultyStream*>(cookie);
      if (s->fault == Fault::kReadError && s->failed) return -1;
      s->failed = true;
      return static_cast<ssize_t>(std::fread(buffer, 1, size, s->real));
    };
    calls.write = [](void* cookie, const char* buffer, std::size_t size) -> ssize_t {
      auto* s = static_cast<FaultyStream*>(cookie);
      if (s->fault != Fault::kShortWrite) return static_cast<ssize_t>(std::fwrite(buffer, 1, size, s->real));
      if (s->failed) return static_cast<ssize_t>(std::fwrite(buffer, 1, size, s->real));
      s->failed = true;
      std::fwrite(buffer, 1, size / 2, s->real);
      return 0;  // an error
    };
    calls.close = [](void* cookie) -> int {
      auto* s = static_cast<FaultyStream*>(cookie);
      const int closed = std::fclose(s->real);
      const bool fail = s->fault == Fault::kFailedClose;
      delete s;
      return fail ? -1 : closed;
    };
    std::FILE* file = fopencookie(new FaultyStream{real, fault}, "r+", calls);
    return file ? file : (std::fclose(real), nullptr);
  }
#else
  std::FILE* Faulty(std::FILE* real) { return real; }  // the fault tests skip here
#endif

  std::string Host(const std::string& path) const {
    std::string full = Absolute(path);
    std::string host = (host_ / full.substr(0, 1)).string();
    for (char c : full.substr(2)) host += c == '\\' ? '/' : c;
    return host;
  }

  std::filesystem::path host_;
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
