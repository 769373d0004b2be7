// The bundled assembler: any source assembles without a crash, every INCLUDE resolving to the
// same text (so include loops are met), and what it reports agrees with itself. The first byte
// chooses .rom output (bank-switched and write-only memory accepted); the .rom image and the
// source map are written and checked against the words.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cpasm/assembler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Smaller limits than a real build's: INCLUDEs of different names all read this same text, so
  // the expansion grows by powers, and under the sanitizers a full-sized pass runs out of memory.
  cpasm::Options options;
  options.romOutput = size > 0 && (data[0] & 1);
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
  // Every word written has a run in the source map, and runs hold only addresses of the image.
  std::size_t mapped = 0;
  for (const cpasm::SourceRun& run : result.sourceMap) {
    if (run.last < run.first || run.last > 0xFFFF || run.line < 0) std::abort();
    mapped += run.last - run.first + 1;
  }
  if (result.errors == 0 && mapped < words) std::abort();
  (void)cpasm::SourceMapText(result);
  std::string rom, error;
  if (cpasm::RomImage(result, rom, error)) {
    // Header, segments of whole pages with their CRCs, then 48 table bytes and their CRC.
    if (rom.size() < 3 + 48 + 2 || static_cast<unsigned char>(rom[0]) != 0xA8) std::abort();
    const unsigned count = static_cast<unsigned char>(rom[1]);
    if (count == 0 || (count ^ 0xFF) != static_cast<unsigned char>(rom[2])) std::abort();
    std::size_t at = 3, pageWords = 0;
    for (unsigned k = 0; k < count; ++k) {
      if (at + 2 > rom.size()) std::abort();
      const unsigned first = static_cast<unsigned char>(rom[at]), last = static_cast<unsigned char>(rom[at + 1]);
      if (last < first) std::abort();
      const std::size_t length = 2 + 512 * (last - first + 1);
      if (at + length + 2 > rom.size()) std::abort();
      const std::uint16_t crc = cpasm::Crc16(std::string_view(rom).substr(at, length));
      if (static_cast<unsigned char>(rom[at + length]) != (crc >> 8) ||
          static_cast<unsigned char>(rom[at + length + 1]) != (crc & 0xFF))
        std::abort();
      pageWords += 256 * (last - first + 1);
      at += length + 2;
    }
    if (rom.size() != at + 50 || pageWords < words) std::abort();
  } else if (error.empty() || !rom.empty()) {
    std::abort();
  }
  return 0;
}
