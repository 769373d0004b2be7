// syntax.cfg: any bytes load a table of real words, and every line of the same bytes is covered
// by colour runs from its first to its last character.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/error_log.h"
#include "base/syntax_table.h"
#include "editor/syntax_colours.h"

namespace {

const std::string& FilePath() {
  static const std::string path = "/dev/shm/quillon_syntax_fuzz_" + std::to_string(getpid()) + ".cfg";
  return path;
}

void CheckRuns(std::string_view line, const quillon::SyntaxTable& table) {
  std::vector<quillon::ColourRun> runs;
  quillon::LineRuns(line, table, runs);
  std::size_t at = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].start != at || runs[i].end <= runs[i].start) std::abort();
    if (i > 0 && runs[i].colour == runs[i - 1].colour) std::abort();
    at = runs[i].end;
  }
  if (at != line.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  quillon::SyntaxTable table;
  quillon::LoadSyntaxFile(FilePath(), table, quillon::Log());
  for (const auto& [word, colour] : table.Keywords()) {
    if (word.empty() || colour > 0xFFFFFF) std::abort();
    for (char c : word) {
      if (!quillon::IsWordCharacter(c)) std::abort();
    }
  }

  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    CheckRuns(std::string_view(text).substr(start, end - start), table);
    start = end + 1;
  }

  std::string noNul = text;
  std::erase(noNul, '\0');
  const std::string rtf = quillon::ColouredRtf(noNul, table, quillon::RtfFont{"Courier New", 200, 1, 0}, 1252);
  if (rtf.rfind("{\\rtf", 0) != 0) std::abort();
  return 0;
}
