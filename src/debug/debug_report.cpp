#include "debug/debug_report.h"

#include <cstdio>

namespace quillon {

std::string HexAddress(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "$%04X", static_cast<unsigned>(address));
  return text;
}

ReportLine WarningLine(const SourceMap& map, uint32_t pc, const std::string& text) {
  ReportLine line;
  if (map.Find(pc, line.place)) {
    line.text = line.place.file + ":" + std::to_string(line.place.line + 1) + ": WARNING - " + text;
  } else {
    line.place = {};
    line.text = "Warning at " + HexAddress(pc) + " (no source line): " + text;
  }
  return line;
}

bool WarningFilter::Admit(uint32_t pc, const std::string& text, bool& last) {
  last = false;
  if (shown_ > most_) return false;
  if (!seen_.emplace(std::make_pair(pc, text), true).second) return false;
  last = ++shown_ > most_;
  return true;
}

}  // namespace quillon
