// What an assembly produced, in the forms the assembler's tests compare.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cpasm/assembler.h"

namespace cpasm::test {

// Every word of the image, segment after segment.
inline std::vector<uint16_t> Words(const Assembly& assembly) {
  std::vector<uint16_t> words;
  for (const Segment& segment : assembly.segments)
    words.insert(words.end(), segment.words.begin(), segment.words.end());
  return words;
}

// The diagnostics as the assembler prints them, one a line.
inline std::string Problems(const Assembly& assembly) {
  std::string text;
  for (const Diagnostic& d : assembly.diagnostics) text += FormatDiagnostic(d) + "\n";
  return text;
}

}  // namespace cpasm::test
