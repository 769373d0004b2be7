// macros.cfg: any bytes read without harm, and what the writer writes reads back to the same
// macros and the same bytes. ExpandPlaceholders with hostile texts and values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macros/build_options.h"
#include "macros/expand_macro.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The macro text, %LOCAL% and the document path, taken from the input split at NUL bytes.
void CheckExpansion(const std::string& input) {
  const std::size_t first = input.find('\0');
  const std::size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
  const std::string text = input.substr(0, first);
  const std::string local = first == std::string::npos ? "C:\\work" : input.substr(first + 1, second - first - 1);
  const std::string document = second == std::string::npos ? "C:\\work\\game.asm" : input.substr(second + 1);

  const quillon::PlaceholderValues values{document, local, local, document, document};
  const std::string expanded = quillon::ExpandPlaceholders(text, values);
  std::size_t percents = 0;
  for (char c : text) percents += c == '%';
  if (percents < 2) Require(expanded == text);
  const std::size_t longest = local.size() > document.size() ? local.size() : document.size();
  Require(expanded.size() <= text.size() + (percents / 2) * longest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  quillon::BuildOptions first;
  quillon::ParseBuildOptions(input, first);
  const std::string written = quillon::FormatBuildOptions(first);

  quillon::BuildOptions second;
  quillon::ParseBuildOptions(written, second);
  Require(second.texts == first.texts);
  Require(quillon::FormatBuildOptions(second) == written);
  for (const std::string& text : first.texts) {
    for (const std::string& line : quillon::MacroLines(text)) Require(line.find('\n') == std::string::npos);
  }

  CheckExpansion(input);
  return 0;
}
