// The bundled assembler: any source assembles without a crash, every INCLUDE resolving to the
// same text (so include loops are met), and what it reports agrees with itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cpasm/assembler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Smaller limits than a real build's: INCLUDEs of different names all read this same text, so
  // the expansion grows by powers, and under the sanitizers a full-sized pass runs out of memory.
  cpasm::Options options;
  options.limits.linesPerPass = 5000;
  options.limits.includeDepth = 8;
  options.limits.repeatCount = 4096;
  options.limits.expandedLine = 20000;
  options.limits.passes = 4;
  options.limits.arrayElements = 100000;
  const cpasm::Assembly result = cpasm::AssembleText(
      "fuzz.asm", text,
      [&](const std::string&, std::string& included) {
        included = text;
        return true;
      },
      options);
  int errors = 0, warnings = 0;
  for (const cpasm::Diagnostic& d : result.diagnostics) {
    if (d.line < 0) std::abort();
    (d.error ? errors : warnings)++;
  }
  if (errors != result.errors || warnings != result.warnings) std::abort();
  std::size_t words = 0;
  for (std::size_t i = 0; i < result.segments.size(); ++i) {
    const cpasm::Segment& s = result.segments[i];
    words += s.words.size();
    // Ascending and never overlapping within a page.
    if (i > 0) {
      const cpasm::Segment& before = result.segments[i - 1];
      if (before.page == s.page && before.address + before.words.size() > s.address) std::abort();
      if (before.page > s.page) std::abort();
    }
  }
  if (cpasm::ImageBytes(result).size() != 2 * words) std::abort();
  return 0;
}
