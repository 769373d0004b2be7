// The bundled assembler: any source assembles without a crash, every INCLUDE resolving to the
// same text (so include loops are met), and what it reports agrees with itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cpasm/assembler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const cpasm::Assembly result = cpasm::AssembleText("fuzz.asm", text, [&](const std::string&, std::string& included) {
    included = text;
    return true;
  });
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
    // Ascending and never overlapping.
    if (i > 0) {
      const cpasm::Segment& before = result.segments[i - 1];
      if (before.address + before.words.size() > s.address) std::abort();
    }
  }
  if (cpasm::ImageBytes(result).size() != 2 * words) std::abort();
  return 0;
}
