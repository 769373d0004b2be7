// The image readers. Every count and offset is checked against the bytes there are: any input
// either loads or is refused with a message.
#include "cpsim/image.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace cpsim {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "$5000" or "0x5000" (or bare hex digits) at the front of `s`, consumed; false if none.
bool TakeHex(std::string_view &s, uint32_t &value) {
  s = Trim(s);
  if (!s.empty() && s.front() == '$') {
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
  }
  size_t n = 0;
  value = 0;
  while (n < s.size() && std::isxdigit(static_cast<unsigned char>(s[n]))) {
    if (value > 0xFFFFF) return false;  // far too large for any address
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[n])));
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    ++n;
  }
  if (n == 0) return false;
  s.remove_prefix(n);
  return true;
}

bool TakeChar(std::string_view &s, char c) {
  s = Trim(s);
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "$%04X", v);
  return text;
}

// "RAM 8", "RAM 16", "RAM", "ROM", "" at the end of a line.
bool Attribute(std::string_view s, RangeKind &kind, bool &page) {
  page = false;
  std::istringstream words{std::string(s)};
  std::string w;
  kind = RangeKind::kRom;
  while (words >> w) {
    for (char &c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (w == "PAGE") {
      page = true;
      words >> w;
    } else if (w == "RAM") {
      kind = RangeKind::kRam16;
      std::streampos at = words.tellg();
      if (words >> w) {
        if (w == "8") {
          kind = RangeKind::kRam8;
        } else if (w != "16") {
          words.clear();
          words.seekg(at);
        }
      }
    } else if (w == "ROM") {
      kind = RangeKind::kRom;
    } else if (w == "WOM" || w == "8" || w == "16") {
      // Write-only memory is RAM to the program; widths with no RAM word before them are ignored.
      if (w == "WOM") kind = RangeKind::kRam16;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

uint16_t RomCrc(std::string_view bytes, uint16_t crc) {
  for (unsigned char b : bytes) {
    crc ^= static_cast<uint16_t>(b << 8);
    for (int i = 0; i < 8; ++i) crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

bool ReadBin(std::string_view bin, std::string_view cfg, Image &image, std::string &error) {
  image.ranges.clear();
  if (bin.size() % 2) {
    error = "the .bin has an odd number of bytes (" + std::to_string(bin.size()) + "); it holds 16-bit words";
    return false;
  }
  const size_t count = bin.size() / 2;
  auto word = [&](size_t i) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bin[2 * i]) << 8 |
                                 static_cast<unsigned char>(bin[2 * i + 1]));
  };
  if (Trim(cfg).empty()) {
    if (count == 0) return true;
    if (count > 0x10000 - 0x5000) {
      error = "the .bin has " + std::to_string(count) + " words, more than fit from $5000 without a .cfg";
      return false;
    }
    MemoryRange range{0x5000, static_cast<uint16_t>(0x5000 + count - 1), RangeKind::kRom, {}};
    for (size_t i = 0; i < count; ++i) range.words.push_back(word(i));
    image.ranges.push_back(std::move(range));
    return true;
  }
  std::string section;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start <= cfg.size()) {
    size_t end = cfg.find('\n', start);
    if (end == std::string_view::npos) end = cfg.size();
    std::string_view line = cfg.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    const size_t comment = line.find(';');
    if (comment != std::string_view::npos) line = line.substr(0, comment);
    line = Trim(line);
    if (line.empty()) continue;
    const std::string where = ".cfg line " + std::to_string(lineNumber) + ": ";
    if (line.front() == '[') {
      section = std::string(line);
      for (char &c : section) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      continue;
    }
    const bool mapping = section == "[mapping]" || section == "[preload]";
    if (!mapping && section != "[memattr]") continue;  // [vars] and the emulator's own sections
    std::string_view rest = line;
    uint32_t first = 0, last = 0, at = 0;
    if (!TakeHex(rest, first) || !TakeChar(rest, '-') || !TakeHex(rest, last) || !TakeChar(rest, '=')) {
      error = where + "expected \"$first - $last = ...\", not \"" + std::string(line) + "\"";
      return false;
    }
    if (last < first) {
      error = where + "the range ends before it starts";
      return false;
    }
    RangeKind kind = RangeKind::kRom;
    bool page = false;
    if (mapping) {
      if (!TakeHex(rest, at)) {
        error = where + "expected the address the words go to after '='";
        return false;
      }
      if (!Attribute(rest, kind, page)) {
        error = where + "unknown attribute \"" + std::string(Trim(rest)) + "\"";
        return false;
      }
      if (page) {
        error = where + "page-flipped memory (PAGE) is not simulated";
        return false;
      }
      if (last >= count) {
        error = where + "words " + Hex(first) + "-" + Hex(last) + " of the .bin, which has only " +
                std::to_string(count) + " words";
        return false;
      }
      if (at + (last - first) > 0xFFFF) {
        error = where + "the words go past $FFFF";
        return false;
      }
      MemoryRange range{static_cast<uint16_t>(at), static_cast<uint16_t>(at + (last - first)), kind, {}};
      for (uint32_t i = first; i <= last; ++i) range.words.push_back(word(i));
      image.ranges.push_back(std::move(range));
    } else {
      if (last > 0xFFFF) {
        error = where + "addresses past $FFFF";
        return false;
      }
      if (!Attribute(rest, kind, page) || page || kind == RangeKind::kRom) {
        error = where + "expected RAM 8 or RAM 16, not \"" + std::string(Trim(rest)) + "\"";
        return false;
      }
      image.ranges.push_back({static_cast<uint16_t>(first), static_cast<uint16_t>(last), kind, {}});
    }
  }
  return true;
}

bool ReadRom(std::string_view bytes, Image &image, std::string &error) {
  image.ranges.clear();
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() < 3 || byte(0) != 0xA8) {
    error = "not a .rom image (it does not start with $A8)";
    return false;
  }
  const unsigned n = byte(1);
  if (n == 0 || byte(2) != (~n & 0xFF)) {
    error = "the .rom header's segment count is damaged";
    return false;
  }
  size_t at = 3;
  std::vector<MemoryRange> segments;
  for (unsigned s = 0; s < n; ++s) {
    if (at + 2 > bytes.size()) {
      error = "the .rom ends inside segment " + std::to_string(s + 1) + " of " + std::to_string(n);
      return false;
    }
    const unsigned firstPage = byte(at), lastPage = byte(at + 1);
    if (lastPage < firstPage) {
      error = "segment " + std::to_string(s + 1) + " of the .rom ends before it starts";
      return false;
    }
    const size_t words = (lastPage - firstPage + 1) * 256;
    if (at + 2 + 2 * words + 2 > bytes.size()) {
      error = "the .rom ends inside segment " + std::to_string(s + 1) + " of " + std::to_string(n);
      return false;
    }
    const uint16_t crc = RomCrc(bytes.substr(at, 2 + 2 * words));
    const size_t crcAt = at + 2 + 2 * words;
    if (crc != (byte(crcAt) << 8 | byte(crcAt + 1))) {
      error = "segment " + std::to_string(s + 1) + " of the .rom (" + Hex(firstPage << 8) + ") fails its CRC";
      return false;
    }
    MemoryRange range{
        static_cast<uint16_t>(firstPage << 8), static_cast<uint16_t>((lastPage << 8) | 0xFF), RangeKind::kRom, {}};
    range.words.reserve(words);
    for (size_t i = 0; i < words; ++i) {
      range.words.push_back(static_cast<uint16_t>(byte(at + 2 + 2 * i) << 8 | byte(at + 3 + 2 * i)));
    }
    segments.push_back(std::move(range));
    at = crcAt + 2;
  }
  if (at + 50 > bytes.size()) {
    error = "the .rom ends before its access tables";
    return false;
  }
  const std::string_view tables = bytes.substr(at, 48);
  if (RomCrc(tables) != (byte(at + 48) << 8 | byte(at + 49))) {
    error = "the .rom's access tables fail their CRC";
    return false;
  }
  // RAM windows: each 2K window's nibble of the access table, over the pages the fine table names.
  std::vector<MemoryRange> ram;
  for (unsigned window = 0; window < 32; ++window) {
    const unsigned access = window < 16 ? (byte(at + window) & 0xF) : (byte(at + window - 16) >> 4);
    if (!(access & 2)) continue;
    const unsigned fine = window < 16 ? byte(at + 16 + window) : byte(at + 32 + window - 16);
    unsigned firstPage = fine >> 4, lastPage = fine & 0xF;
    if (lastPage > 7) lastPage = 7;
    if (firstPage > lastPage) continue;
    const unsigned base = window < 16 ? window * 0x1000 : (window - 16) * 0x1000 + 0x800;
    ram.push_back({static_cast<uint16_t>(base + firstPage * 0x100),
                   static_cast<uint16_t>(base + lastPage * 0x100 + 0xFF),
                   (access & 4) ? RangeKind::kRam8 : RangeKind::kRam16,
                   {}});
  }
  // The RAM first, the segments over it; a segment inside a RAM window is RAM that starts with
  // its words.
  image.ranges = ram;
  for (MemoryRange &segment : segments) {
    const unsigned window = segment.first >> 11;
    const unsigned access = (window & 1) ? (byte(at + (window >> 1)) >> 4) : (byte(at + (window >> 1)) & 0xF);
    if (access & 2) segment.kind = (access & 4) ? RangeKind::kRam8 : RangeKind::kRam16;
    image.ranges.push_back(std::move(segment));
  }
  return true;
}

bool ReadWholeFile(const std::string &path, std::string &bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  if (in.bad()) return false;
  bytes = all.str();
  return true;
}

bool ReadImageFile(const std::string &path, Image &image, std::string &error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = path + ": cannot read it";
    return false;
  }
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  std::string extension = hasExtension ? path.substr(dot) : "";
  for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".rom" || (!bytes.empty() && static_cast<unsigned char>(bytes[0]) == 0xA8 && extension != ".bin")) {
    if (!ReadRom(bytes, image, error)) {
      error = path + ": " + error;
      return false;
    }
    return true;
  }
  std::string cfg;
  const std::string cfgPath = (hasExtension ? path.substr(0, dot) : path) + ".cfg";
  if (!ReadWholeFile(cfgPath, cfg)) cfg.clear();
  if (!ReadBin(bytes, cfg, image, error)) {
    error = (cfg.empty() ? path : cfgPath) + ": " + error;
    return false;
  }
  return true;
}

std::string FolderOf(const std::string &path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string FindRomFile(std::string_view romPath, const std::string &folder, const std::string &name) {
  std::vector<std::string> folders;
  std::string current;
  for (char c : romPath) {
#ifdef _WIN32
    const bool separator = c == ';';
#else
    const bool separator = c == ';' || c == ':';
#endif
    if (separator) {
      if (!current.empty()) folders.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) folders.push_back(current);
  folders.push_back(folder.empty() ? "." : folder);
  for (const std::string &f : folders) {
    const char last = f.back();
    const std::string candidate = (last == '/' || last == '\\') ? f + name : f + "/" + name;
    std::ifstream in(candidate, std::ios::binary);
    if (in) return candidate;
  }
  return "";
}

bool ReadExecutive(const std::string &path, std::vector<uint16_t> &words, std::string &error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = path + ": cannot read it";
    return false;
  }
  if (bytes.size() != 8192) {
    error = path + ": an Executive ROM image has 8192 bytes, this one " + std::to_string(bytes.size());
    return false;
  }
  words.clear();
  for (size_t i = 0; i < 4096; ++i) {
    words.push_back(static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) << 8 |
                                          static_cast<unsigned char>(bytes[2 * i + 1])));
  }
  return true;
}

bool ReadGraphicsRom(const std::string &path, std::vector<uint16_t> &out, std::string &error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = path + ": cannot read it";
    return false;
  }
  if (bytes.size() != 2048) {
    error = path + ": a graphics ROM image has 2048 bytes, this one " + std::to_string(bytes.size());
    return false;
  }
  out.assign(bytes.begin(), bytes.end());
  for (uint16_t &b : out) b &= 0xFF;
  return true;
}

}  // namespace cpsim
