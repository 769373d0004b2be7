// The bundled assembler's source map (game.smap beside game.bin or game.rom): which source line
// each address came from. Plain text, one run of addresses a line:
//   ; cpasm source map 1
//   5000 5003 12 C:\path\to\game.asm
// Lines starting with ';' are comments; runs may come in any order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cpsim {

struct SourceLine {
  std::string file;
  int line = 0;
};

class SourceMap {
 public:
  // Reads the text; lines it cannot use are skipped and counted. The IDE reads the file with it
  // too, so that the two never differ on what a line means.
  void Parse(std::string_view text);
  // The source line of `address`, or nullptr. Where runs overlap, the one written last wins.
  const SourceLine *Find(uint16_t address) const;
  // The first address of each run that came from `file` (compared as written, any case) and
  // `line`, in address order.
  std::vector<uint16_t> AddressesOf(std::string_view file, int line) const;
  size_t SkippedLines() const { return skippedLines_.size(); }
  // The numbers (from 1) of the lines skipped, in order.
  const std::vector<size_t> &SkippedLineNumbers() const { return skippedLines_; }
  bool Empty() const { return runs_.empty(); }
  // Calls visit(first, last, source) for each run, in the order read.
  template <class Visit>
  void ForEachRun(Visit visit) const {
    for (const Run &run : runs_) visit(run.first, run.last, sources_[run.source]);
  }

 private:
  struct Run {
    uint16_t first, last;
    size_t source;
  };
  std::vector<SourceLine> sources_;
  std::vector<Run> runs_;
  std::vector<size_t> skippedLines_;
};

}  // namespace cpsim
