// The source map: where each word of the image came from, as runs of consecutive addresses.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "cpasm/assembler.h"

namespace cpasm {

// Records, word by word, the outermost line of a file the user wrote (for a macro expansion or a
// REPEAT, the line of the call), or the file and line SRCFILE names while it is in force.
class SourceMapBuilder {
 public:
  void Reset();
  // The line in hand when it is read from a file (not from a macro body or a REPEAT).
  void SetOuterLine(int file, int line) {
    file_ = file;
    line_ = line;
  }
  // SRCFILE: a file and line that take over; an empty name ends them.
  void SetOverride(const std::string& name, int line);
  void Word(uint32_t address);
  // The runs with their files named: `paths` by file index.
  std::vector<SourceRun> Runs(const std::vector<std::string>& paths) const;

 private:
  struct Run {
    uint32_t first;
    uint32_t last;
    int file;  // an index into `paths`, or -1 - k for the SRCFILE name k
    int line;
  };
  std::vector<Run> runs_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, int> nameIndex_;
  int file_ = 0;
  int line_ = 0;
  int override_ = 0;  // -1 - k while SRCFILE name k is in force, else 0
  int overrideLine_ = 0;
};

}  // namespace cpasm
