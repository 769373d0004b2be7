#include "debug/breakpoints.h"

#include <algorithm>
#include <cctype>

#include "project/project_file.h"

namespace quillon {

bool Breakpoints::Toggle(const std::string& path, int line) {
  if (Has(path, line)) {
    File& file = byFile_[SourceMap::FileKey(path)];
    std::erase(file.lines, line);
    if (file.lines.empty()) byFile_.erase(SourceMap::FileKey(path));
    return false;
  }
  Set(path, line);
  return Has(path, line);
}

void Breakpoints::Set(const std::string& path, int line) {
  if (path.empty() || line < 0) return;
  File& file = byFile_[SourceMap::FileKey(path)];
  if (file.path.empty()) file.path = path;
  auto at = std::lower_bound(file.lines.begin(), file.lines.end(), line);
  if (at == file.lines.end() || *at != line) file.lines.insert(at, line);
}

bool Breakpoints::Has(const std::string& path, int line) const {
  auto found = byFile_.find(SourceMap::FileKey(path));
  return found != byFile_.end() && std::binary_search(found->second.lines.begin(), found->second.lines.end(), line);
}

std::vector<int> Breakpoints::LinesOf(const std::string& path) const {
  auto found = byFile_.find(SourceMap::FileKey(path));
  return found == byFile_.end() ? std::vector<int>() : found->second.lines;
}

std::vector<SourcePlace> Breakpoints::All() const {
  std::vector<SourcePlace> all;
  for (const auto& [key, file] : byFile_)
    for (int line : file.lines) all.push_back({file.path, line});
  return all;
}

void Breakpoints::SetLines(const std::string& path, std::vector<int> lines) {
  std::erase_if(lines, [](int line) { return line < 0; });
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  const std::string key = SourceMap::FileKey(path);
  if (lines.empty()) {
    byFile_.erase(key);
    return;
  }
  File& file = byFile_[key];
  if (file.path.empty()) file.path = path;
  file.lines = std::move(lines);
}

std::vector<std::string> Breakpoints::ProjectLines(const std::string& projectDir) const {
  std::vector<std::string> values;
  for (const auto& [key, file] : byFile_) {
    const std::string path = projectDir.empty() ? file.path : PortablePath(projectDir, file.path);
    for (int line : file.lines) values.push_back(std::to_string(line + 1) + " " + path);
  }
  return values;
}

void Breakpoints::ReadProjectLines(const std::vector<std::string>& values, const std::string& projectDir) {
  for (const std::string& value : values) {
    size_t at = 0;
    long line = 0;
    while (at < value.size() && std::isdigit(static_cast<unsigned char>(value[at])) && at < 9)
      line = line * 10 + (value[at++] - '0');
    if (at == 0 || line < 1 || at + 1 >= value.size() || value[at] != ' ') continue;
    std::string path = value.substr(at + 1);
    if (!path.empty() && path.back() == '\r') path.pop_back();
    const bool full = (path.size() > 1 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
    if (!full && !projectDir.empty()) path = projectDir + "\\" + (path.rfind(".\\", 0) == 0 ? path.substr(2) : path);
    Set(path, static_cast<int>(line - 1));
  }
}

std::vector<ResolvedBreakpoint> ResolveBreakpoints(const Breakpoints& breakpoints, const SourceMap& map) {
  std::vector<ResolvedBreakpoint> resolved;
  for (const SourcePlace& place : breakpoints.All()) {
    ResolvedBreakpoint r;
    r.place = place;
    r.codeLine = map.NextLineWithCode(place.file, place.line);
    if (r.codeLine >= 0) r.addresses = map.AddressesOf(place.file, r.codeLine);
    resolved.push_back(std::move(r));
  }
  return resolved;
}

std::string UnresolvedBreakpointLine(const ResolvedBreakpoint& breakpoint) {
  if (!breakpoint.addresses.empty()) return {};
  return breakpoint.place.file + ":" + std::to_string(breakpoint.place.line + 1) +
         ": WARNING - breakpoint: no code on this line or after it in this file; it will not stop";
}

}  // namespace quillon
