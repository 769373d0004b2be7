// The debugger's breakpoints: they belong to lines of files, move with the text as the build's
// marks do, are kept with the project, and find their code through the source map. No windows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "assemble/source_map.h"

namespace quillon {

class Breakpoints {
 public:
  // `path` is a full path; files compare as Windows compares them. True when the line now has one.
  bool Toggle(const std::string& path, int line);
  void Set(const std::string& path, int line);
  bool Has(const std::string& path, int line) const;
  void Clear() { byFile_.clear(); }
  bool Empty() const { return byFile_.empty(); }
  // The lines of a file with a breakpoint, lowest first; empty when none.
  std::vector<int> LinesOf(const std::string& path) const;
  // Every breakpoint, by file (as first given) and line.
  std::vector<SourcePlace> All() const;

  // The file's breakpoints are now on `lines` (where the editor's marks moved them as the text
  // changed); two that met on one line are one. No lines: the file has none.
  void SetLines(const std::string& path, std::vector<int> lines);

  // As the project file keeps them: "line path" a value, the line counted from 1, the path as
  // `portable` gives it (relative inside the project's folder).
  std::vector<std::string> ProjectLines(const std::string& projectDir) const;
  // Reads those values; `projectDir` makes relative paths full. Lines that do not read are skipped.
  void ReadProjectLines(const std::vector<std::string>& values, const std::string& projectDir);

 private:
  struct File {
    std::string path;
    std::vector<int> lines;  // sorted, each once
  };
  std::map<std::string, File> byFile_;  // by SourceMap::FileKey
};

// Where a breakpoint stops after a build: the code of its line, else of the next line that has
// code; `address` empty when its file has no code from that line on.
struct ResolvedBreakpoint {
  SourcePlace place;  // the breakpoint's own line
  int codeLine = -1;  // the line whose code it stops at; -1 when none
  std::vector<uint32_t> addresses;
};
std::vector<ResolvedBreakpoint> ResolveBreakpoints(const Breakpoints& breakpoints, const SourceMap& map);

// The output pane's line for a breakpoint that stops at no code ("file:12: WARNING - ..."),
// empty when it stops somewhere.
std::string UnresolvedBreakpointLine(const ResolvedBreakpoint& breakpoint);

}  // namespace quillon
