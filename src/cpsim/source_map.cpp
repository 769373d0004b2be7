// The source map reader.
#include "cpsim/source_map.h"

#include <algorithm>
#include <cctype>

namespace cpsim {

namespace {

bool HexField(std::string_view &s, uint32_t &value) {
  size_t n = 0;
  value = 0;
  while (n < s.size() && std::isxdigit(static_cast<unsigned char>(s[n]))) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[n])));
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (value > 0xFFFF) return false;
    ++n;
  }
  if (n == 0 || n >= s.size() || s[n] != ' ') return false;
  s.remove_prefix(n + 1);
  return true;
}

bool SameFile(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
    char y = static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
    if (x == '\\') x = '/';
    if (y == '\\') y = '/';
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void SourceMap::Parse(std::string_view text) {
  size_t start = 0, row = 0;  // row: the line of the map
  while (start < text.size()) {
    ++row;
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    uint32_t first = 0, last = 0;
    std::string_view rest = line;
    if (!HexField(rest, first) || !HexField(rest, last) || last < first) {
      skippedLines_.push_back(row);
      continue;
    }
    size_t n = 0;
    int number = 0;
    while (n < rest.size() && std::isdigit(static_cast<unsigned char>(rest[n])) && number < 100000000) {
      number = number * 10 + (rest[n] - '0');
      ++n;
    }
    if (n == 0 || number == 0 || n + 1 >= rest.size() || rest[n] != ' ') {
      skippedLines_.push_back(row);
      continue;
    }
    std::string file(rest.substr(n + 1));
    if (sources_.empty() || sources_.back().file != file || sources_.back().line != number) {
      sources_.push_back({file, number});
    }
    runs_.push_back({static_cast<uint16_t>(first), static_cast<uint16_t>(last), sources_.size() - 1});
  }
}

const SourceLine *SourceMap::Find(uint16_t address) const {
  for (size_t i = runs_.size(); i-- > 0;) {
    if (runs_[i].first <= address && address <= runs_[i].last) return &sources_[runs_[i].source];
  }
  return nullptr;
}

std::vector<uint16_t> SourceMap::AddressesOf(std::string_view file, int line) const {
  std::vector<uint16_t> out;
  for (const Run &run : runs_) {
    const SourceLine &s = sources_[run.source];
    if (s.line == line && SameFile(s.file, file)) out.push_back(run.first);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace cpsim
