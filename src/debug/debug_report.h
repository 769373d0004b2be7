// The debugger's lines in the output pane: the simulator's warnings as "file:line: WARNING - ..."
// at the source line of the instruction that caused them, so that F4 and the gutter marks find
// them; and why the program stopped. No windows here.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "assemble/source_map.h"

namespace quillon {

// A line for the output pane; `place.line` is -1 when it names no line.
struct ReportLine {
  std::string text;
  SourcePlace place;
};

// The line for a warning `text` the simulator raised at the instruction at `pc`.
ReportLine WarningLine(const SourceMap& map, uint32_t pc, const std::string& text);

// Keeps a program that repeats a fault every frame from flooding the pane: each warning text at
// one address is reported once a session, and after `most` lines one more says the rest are left out.
class WarningFilter {
 public:
  explicit WarningFilter(int most = 200) : most_(most) {}
  // True when the warning should be shown; `last` is set for the line that says the rest are left out.
  bool Admit(uint32_t pc, const std::string& text, bool& last);
  void Reset() {
    seen_.clear();
    shown_ = 0;
  }

 private:
  int most_;
  int shown_ = 0;
  std::map<std::pair<uint32_t, std::string>, bool> seen_;
};

// "$5012" (four upper-case hex digits, more only when needed).
std::string HexAddress(uint32_t address);

}  // namespace quillon
