#include "assemble/source_map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/text_util.h"
#include "cpsim/source_map.h"

namespace quillon {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
// The source text as lines compare: runs of blanks count as one, none at either end.
std::string Normal(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (IsBlank(c) || c == '\r') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

// Reads hex digits at `at`; the count read (0 when none).
size_t ReadHex(const std::string& text, size_t at, uint32_t& value) {
  size_t n = 0;
  value = 0;
  while (at + n < text.size() && IsHex(text[at + n]) && n < 8) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at + n])));
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    ++n;
  }
  return n;
}

bool EndsToken(const std::string& text, size_t at) { return at >= text.size() || IsBlank(text[at]); }

// The file an INCLUDE line names, or empty when the line is not an INCLUDE.
std::string IncludedName(const std::string& normal) {
  std::string upper;
  for (char c : normal) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  size_t at = upper.rfind("INCLUDE ", 0) == 0 ? 0 : upper.find(" INCLUDE ");
  if (at == std::string::npos) return {};
  if (at != 0) {
    // Only a label may stand before it.
    const std::string before = normal.substr(0, at);
    if (before.find(' ') != std::string::npos || before[0] == ';') return {};
    ++at;
  }
  std::string name = normal.substr(at + 8);
  if (!name.empty() && (name[0] == '"' || name[0] == '\'')) {
    const size_t close = name.find(name[0], 1);
    return close == std::string::npos ? std::string() : name.substr(1, close - 1);
  }
  const size_t end = name.find_first_of(" ;");
  return name.substr(0, end);
}

}  // namespace

std::string SourceMap::FileKey(const std::string& path) {
  std::string lower = path;
  for (char& c : lower) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // "C:\game\.\a.bas" and "C:\game\sub\..\a.bas" (a SRCFILE name taken in a folder) are "C:\game\a.bas".
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = lower.find('\\', start);
    std::string part = lower.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part == ".." && !parts.empty() && !parts.back().empty() && parts.back() != ".." && parts.size() > 1) {
      parts.pop_back();
    } else if (part != "." || parts.empty()) {
      parts.push_back(std::move(part));
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string key;
  for (size_t i = 0; i < parts.size(); ++i) key += (i ? "\\" : "") + parts[i];
  return key;
}

void SourceMap::Add(uint32_t first, uint32_t last, const std::string& file, int line) {
  if (last < first || line < 0 || file.empty()) return;
  const std::string key = FileKey(file);
  auto found = fileIndex_.find(key);
  if (found == fileIndex_.end()) {
    found = fileIndex_.emplace(key, static_cast<int>(files_.size())).first;
    files_.push_back(file);
  }
  const int index = found->second;
  // A run that goes on where the last one of the same line ended is the same run.
  if (!runs_.empty() && runs_.back().file == index && runs_.back().line == line && runs_.back().last + 1 == first) {
    runs_.back().last = last;
    return;
  }
  if (!runs_.empty() && first < runs_.back().first) sorted_ = false;
  runs_.push_back({first, last, index, line});
  lineStarts_[{index, line}].push_back(first);
}

void SourceMap::Finish() {
  if (!sorted_)
    std::stable_sort(runs_.begin(), runs_.end(), [](const Run& a, const Run& b) { return a.first < b.first; });
  sorted_ = true;
  for (auto& [where, starts] : lineStarts_) std::sort(starts.begin(), starts.end());
}

void SourceMap::Clear() { *this = SourceMap(); }

const SourceMap::Run* SourceMap::RunAt(uint32_t address) const {
  if (!sorted_) {
    for (const Run& run : runs_)
      if (address >= run.first && address <= run.last) return &run;
    return nullptr;
  }
  auto after =
      std::upper_bound(runs_.begin(), runs_.end(), address, [](uint32_t a, const Run& run) { return a < run.first; });
  // Runs may overlap (pages of one address range): the nearest that holds it.
  while (after != runs_.begin()) {
    --after;
    if (address <= after->last) return &*after;
    if (after->first + 0x10000 < address) break;
  }
  return nullptr;
}

bool SourceMap::Find(uint32_t address, SourcePlace& place) const {
  const Run* run = RunAt(address);
  if (!run) return false;
  place = {files_[run->file], run->line};
  return true;
}

bool SourceMap::StartsLine(uint32_t address) const {
  const Run* run = RunAt(address);
  return run && run->first == address;
}

std::vector<uint32_t> SourceMap::AddressesOf(const std::string& file, int line) const {
  auto index = fileIndex_.find(FileKey(file));
  if (index == fileIndex_.end()) return {};
  auto found = lineStarts_.find({index->second, line});
  return found == lineStarts_.end() ? std::vector<uint32_t>() : found->second;
}

int SourceMap::NextLineWithCode(const std::string& file, int line) const {
  auto index = fileIndex_.find(FileKey(file));
  if (index == fileIndex_.end()) return -1;
  auto found = lineStarts_.lower_bound({index->second, line < 0 ? 0 : line});
  return found != lineStarts_.end() && found->first.first == index->second ? found->first.second : -1;
}

void ReadSourceMapText(const std::string& text, SourceMap& map, std::vector<std::string>& problems) {
  cpsim::SourceMap read;  // the simulator's reader: both read a line alike
  read.Parse(text);
  read.ForEachRun([&map](uint16_t first, uint16_t last, const cpsim::SourceLine& source) {
    map.Add(first, last, source.file, source.line - 1);
  });
  map.Finish();
  size_t number = 1, start = 0;
  for (size_t skipped : read.SkippedLineNumbers()) {
    for (size_t next; number < skipped && (next = text.find('\n', start)) != std::string::npos; ++number)
      start = next + 1;
    std::string line = text.substr(start, text.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    problems.push_back("line " + std::to_string(skipped) + ": not \"first last line file\": " + line);
  }
}

ListingLine SplitListingLine(const std::string& text) {
  ListingLine out;
  std::string line = text;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  size_t at = 0;
  uint32_t value = 0;
  const size_t digits = ReadHex(line, 0, value);
  if (digits >= 4 && EndsToken(line, digits)) {
    out.hasAddress = true;
    out.address = value;
    at = digits;
    size_t blanks = 0;
    while (at + blanks < line.size() && IsBlank(line[at + blanks])) ++blanks;
    // The words follow within three blanks, one blank apart; the source comes after more.
    bool next = blanks >= 1 && blanks <= 3;
    while (next) {
      uint32_t word = 0;
      const size_t w = ReadHex(line, at + blanks, word);
      if (w != 4 || !EndsToken(line, at + blanks + 4)) break;
      ++out.words;
      at += blanks + 4;
      blanks = 0;
      while (at + blanks < line.size() && IsBlank(line[at + blanks])) ++blanks;
      next = blanks == 1;
    }
  } else if (line.rfind("0x", 0) == 0 && ReadHex(line, 2, value) >= 1) {
    at = 2 + ReadHex(line, 2, value);  // the location an ORG sets
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  out.source = line.substr(at);
  return out;
}

void ReadListingText(const std::string& listing, const std::string& mainSource, const std::vector<std::string>& folders,
                     const SourceLines& read, SourceMap& map, std::vector<std::string>& problems) {
  struct Open {
    std::string path;
    std::vector<std::string> lines;
    size_t next = 0;
  };
  std::vector<Open> open(1);
  open[0].path = mainSource;
  if (!read(mainSource, open[0].lines)) {
    problems.push_back("The source " + mainSource + " cannot be read.");
    return;
  }
  for (std::string& line : open[0].lines) line = Normal(line);
  SourcePlace last;
  bool matchedAny = false;
  size_t start = 0;
  while (start < listing.size()) {
    size_t end = listing.find('\n', start);
    if (end == std::string::npos) end = listing.size();
    const ListingLine line = SplitListingLine(listing.substr(start, end - start));
    start = end + 1;
    const bool continuation = line.hasAddress && line.source.empty();
    if (!continuation) {
      const std::string text = Normal(line.source);
      while (!open.empty()) {
        Open& file = open.back();
        if (file.next < file.lines.size() && file.lines[file.next] == text) {
          last = {file.path, static_cast<int>(file.next++)};
          matchedAny = true;
          const std::string name = IncludedName(text);
          if (!name.empty()) {
            Open included;
            std::vector<std::string> places{FolderOf(file.path) + "\\" + name};
            if (name.size() > 1 && (name[1] == ':' || name[0] == '\\' || name[0] == '/'))
              places.insert(places.begin(), name);
            for (const std::string& folder : folders) places.push_back(folder + "\\" + name);
            for (const std::string& place : places) {
              if (read(place, included.lines)) {
                included.path = place;
                break;
              }
            }
            if (included.path.empty()) {
              problems.push_back("The included file " + name + " cannot be read.");
            } else {
              for (std::string& l : included.lines) l = Normal(l);
              open.push_back(std::move(included));
            }
          }
          break;
        }
        // A file read to its end goes back to the file that included it.
        if (file.next >= file.lines.size() && open.size() > 1) {
          open.pop_back();
          continue;
        }
        break;
      }
    }
    if (line.hasAddress && line.words > 0 && last.line >= 0)
      map.Add(line.address, line.address + static_cast<uint32_t>(line.words) - 1, last.file, last.line);
  }
  if (!matchedAny) problems.push_back("The listing shows no line of " + mainSource + ".");
  map.Finish();
}

}  // namespace quillon
