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
    return std::fopen(Host(path).c_str(), mode);
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
