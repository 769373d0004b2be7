#include <cstdio>

#include "cpasm/assembler.h"

namespace cpasm {

std::string ImageBytes(const Assembly& assembly) {
  std::string bytes;
  for (const Segment& segment : assembly.segments)
    for (uint16_t word : segment.words) {
      bytes += static_cast<char>(word >> 8);
      bytes += static_cast<char>(word & 0xFF);
    }
  return bytes;
}

std::string MemoryMapText(const Assembly& assembly) {
  std::string text = "[mapping]\n";
  char line[64];
  uint32_t offset = 0;
  for (const Segment& segment : assembly.segments) {
    uint32_t size = static_cast<uint32_t>(segment.words.size());
    std::snprintf(line, sizeof line, "$%04X - $%04X = $%04X", offset, offset + size - 1, segment.address);
    text += line;
    if (segment.page >= 0) text += " PAGE " + std::to_string(segment.page);
    if (segment.ram) text += segment.narrow ? " RAM 8" : " RAM 16";
    text += "\n";
    offset += size;
  }
  if (!assembly.ram.empty()) {
    text += "\n[memattr]\n";
    for (const MemoryRange& range : assembly.ram) {
      std::snprintf(line, sizeof line, "$%04X - $%04X = %s\n", range.first, range.last,
                    range.narrow ? "RAM 8" : "RAM 16");
      text += line;
    }
  }
  if (!assembly.configVars.empty()) {
    text += "\n[vars]\n";
    for (const auto& [name, value] : assembly.configVars) text += name + " = " + value + "\n";
  }
  return text;
}

}  // namespace cpasm
