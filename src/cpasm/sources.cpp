#include "cpasm/sources.h"

namespace cpasm {

namespace {

void SplitLines(SourceFile& file, int index) {
  std::string_view text = file.text;
  size_t start = 0;
  int number = 1;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    file.lines.push_back({index, number++, line});
    start = end + 1;
  }
}

bool IsAbsolute(std::string_view name) {
  return name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':');
}

}  // namespace

SourceFiles::SourceFiles(const std::string& fileName, std::string_view text, FileReader readFile,
                         std::vector<std::string> includeDirs, size_t depth)
    : readFile_(std::move(readFile)), includeDirs_(std::move(includeDirs)), depth_(depth) {
  auto file = std::make_unique<SourceFile>();
  file->path = fileName;
  file->text = std::string(text);
  SplitLines(*file, 0);
  byPath_[fileName] = 0;
  files_.push_back(std::move(file));
  StartPass();
}

std::vector<std::string> SourceFiles::Paths() const {
  std::vector<std::string> paths;
  for (const auto& file : files_) paths.push_back(file->path);
  return paths;
}

bool SourceFiles::Open(std::string_view name, int including, int& index, std::string& error) {
  if (open_.size() >= depth_) {
    error = "INCLUDE nested more than " + std::to_string(depth_) + " deep at " + std::string(name);
    return false;
  }
  // The including file's folder, the working folder, then the search folders.
  std::vector<std::string> candidates;
  if (IsAbsolute(name)) {
    candidates.emplace_back(name);
  } else {
    const std::string& from = Path(including);
    size_t slash = from.find_last_of("/\\");
    if (slash != std::string::npos) candidates.push_back(from.substr(0, slash + 1) + std::string(name));
    candidates.emplace_back(name);
    for (const std::string& dir : includeDirs_) {
      if (dir.empty()) continue;
      char last = dir.back();
      candidates.push_back(dir + (last == '/' || last == '\\' ? "" : "/") + std::string(name));
    }
  }
  index = -1;
  for (const std::string& path : candidates) {
    auto found = byPath_.find(path);
    if (found != byPath_.end()) {
      index = found->second;
      break;
    }
    auto file = std::make_unique<SourceFile>();
    file->path = path;
    if (!readFile_ || !readFile_(path, file->text)) continue;
    index = static_cast<int>(files_.size());
    SplitLines(*file, index);
    files_.push_back(std::move(file));
    byPath_[path] = index;
    break;
  }
  if (index < 0) {
    error = "cannot read include file " + std::string(name);
    return false;
  }
  for (int open : open_)
    if (open == index) {
      error = "endless INCLUDE loop: " + Path(index) + " includes itself";
      return false;
    }
  open_.push_back(index);
  return true;
}

}  // namespace cpasm
