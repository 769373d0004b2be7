// The debugger's source maps: any .smap text, or any listing with any source, gives a map whose
// lookups agree with each other.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "assemble/source_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  quillon::SourceMap map;
  std::vector<std::string> problems;
  const std::string main = "C:\\m.asm";
  if (data[0] & 1) {
    quillon::ReadSourceMapText(text, map, problems);
  } else {
    // The first half is the listing, the second the main source (and any file it includes).
    const std::string listing = text.substr(0, text.size() / 2), source = text.substr(text.size() / 2);
    quillon::ReadListingText(
        listing, main, {"C:\\lib"},
        [&](const std::string&, std::vector<std::string>& lines) {
          lines.clear();
          size_t start = 0;
          while (start <= source.size()) {
            const size_t end = source.find('\n', start);
            lines.push_back(source.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
          }
          return true;
        },
        map, problems);
  }
  // Each address a line holds finds that line again, and the line has code.
  for (uint32_t address = 0; address < 0x10000; address += 7) {
    quillon::SourcePlace place;
    if (!map.Find(address, place)) continue;
    if (place.line < 0 || place.file.empty()) std::abort();
    if (map.NextLineWithCode(place.file, place.line) != place.line) std::abort();
    if (map.AddressesOf(place.file, place.line).empty()) std::abort();
  }
  return 0;
}
