// The metadata tags a .rom image ends with, from the CFGVARs that name the cartridge.
#include <cstdlib>
#include <cstring>

#include "cpasm/assembler.h"

namespace cpasm {

namespace {

bool IsText(const std::string& value) { return value.size() >= 2 && value.front() == '"' && value.back() == '"'; }

std::string TextOf(const std::string& value) { return IsText(value) ? value.substr(1, value.size() - 2) : value; }

bool NumberOf(const std::string& value, long& number) {
  if (value.empty() || IsText(value)) return false;
  char* end = nullptr;
  number = std::strtol(value.c_str(), &end, 10);
  return end && *end == '\0';
}

// Digits at `at` (exactly `count` of them), advancing past them.
bool Digits(const std::string& text, size_t& at, size_t count, int& value) {
  value = 0;
  for (size_t k = 0; k < count; ++k, ++at) {
    if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
    value = value * 10 + (text[at] - '0');
  }
  return true;
}

void Append(std::string& out, int value) { out += static_cast<char>(value & 0xFF); }

}  // namespace

bool DateTagBody(const std::string& value, std::string& body) {
  body.clear();
  long number = 0;
  int year = 0;
  if (NumberOf(value, number)) {
    year = static_cast<int>(number);
  } else {
    const std::string text = TextOf(value);
    size_t at = 0;
    int digits = 0;
    while (digits < static_cast<int>(text.size()) && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 4 || !Digits(text, at, static_cast<size_t>(digits), year)) return false;
    std::string rest;
    const char separator = at < text.size() ? text[at] : '-';
    if (separator != '-' && separator != '/') return false;
    // Month and day after the year's separator, then " HH", ":MM", ":SS", " +hh[[:]mm]".
    const struct {
      char before;
      int most;
    } fields[] = {{separator, 12}, {separator, 31}, {' ', 23}, {':', 59}, {':', 60}};
    for (const auto& field : fields) {
      if (at >= text.size()) break;
      int v = 0;
      if (text[at] != field.before || !Digits(text, ++at, 2, v) || v > field.most) return false;
      rest += static_cast<char>(v);
    }
    if (at < text.size()) {
      int hours = 0, minutes = 0;
      if (rest.size() < 5 || text[at] != ' ' || ++at >= text.size() || (text[at] != '+' && text[at] != '-'))
        return false;
      const bool west = text[at++] == '-';
      if (!Digits(text, at, 2, hours) || hours > 12) return false;
      if (at < text.size() && text[at] == ':') ++at;
      if (at < text.size() && (!Digits(text, at, 2, minutes) || minutes > 59)) return false;
      if (at != text.size()) return false;
      // West of UTC on the half hour: -2 hours and +30 minutes for -0130.
      int h = west ? -hours : hours, m = minutes;
      if (west && minutes > 0) h -= 1, m = 60 - minutes;
      rest += static_cast<char>(h);
      rest += static_cast<char>(m);
    }
    body = rest;
  }
  if (year >= 1 && year <= 99) year += 1900;
  if (year < 1901 || year > 2155) return false;
  std::string bytes(1, static_cast<char>(year - 1900));
  bytes += body;
  body = std::move(bytes);
  return true;
}

std::string MetadataTags(const std::vector<std::pair<std::string, std::string>>& vars) {
  static const char* const kPublishers[] = {"Mattel Electronics",
                                            "INTV Corporation",
                                            "Imagic",
                                            "Activision",
                                            "Atarisoft",
                                            "Coleco",
                                            "CBS",
                                            "Parker Brothers",
                                            "Sears",
                                            "Sega",
                                            "Nintendo",
                                            "Interphase",
                                            "Digiplay",
                                            "Dextell",
                                            "Intellivision, Inc."};
  static const struct {
    const char* name;
    int role;
  } kRoles[] = {{"author", 0x01},    {"game_art_by", 0x02}, {"music_by", 0x04},   {"sfx_by", 0x08},
                {"voices_by", 0x10}, {"docs_by", 0x20},     {"concept_by", 0x40}, {"box_art_by", 0x80}};
  // Single texts: the first of each name counts.
  static const struct {
    const char* name;
    int type;
  } kTexts[] = {{"name", 0x01},        {"short_name", 0x08}, {"license", 0x09},
                {"description", 0x0A}, {"desc", 0x0A},       {"version", 0x0C}};
  std::vector<std::string> bodies(256);
  std::vector<std::vector<std::string>> repeated(256);  // dates and links: one tag each
  std::string credits;
  bool compat = false;
  int ecs = 0, voice = 0, intv2 = 0, keyboard = 0, tutor = 0, jlp = 0, lto = 0, flash = -1;
  const auto compatCode = [](long v) { return static_cast<int>((v + 3) % 4); };  // 0 1 2 3 -> 11 00 01 10
  std::vector<bool> seen(256);
  for (const auto& [name, value] : vars) {
    long number = 0;
    const bool numeric = NumberOf(value, number);
    bool found = false;
    for (const auto& text : kTexts) {
      if (name != text.name) continue;
      found = true;
      if (!seen[text.type]) bodies[text.type] = TextOf(value), seen[text.type] = true;
    }
    for (const auto& role : kRoles)
      if (name == role.name) {
        found = true;
        credits += static_cast<char>(role.role);
        credits += TextOf(value);
        credits += '\0';
      }
    if (found) continue;
    std::string date;
    if (name == "publisher" && !seen[0x02]) {
      seen[0x02] = true;
      int code = 0xFF;
      if (numeric && number >= 0 && number <= 0x0E) code = static_cast<int>(number);
      for (int k = 0; k < 15 && code == 0xFF; ++k)
        if (TextOf(value) == kPublishers[k]) code = k;
      std::string& body = bodies[0x02];
      body.assign(1, static_cast<char>(code));
      if (code == 0xFF) body += TextOf(value);
    } else if (name == "more_info_at") {
      repeated[0x04].push_back(TextOf(value));
    } else if ((name == "year" || name == "release_date") && DateTagBody(value, date)) {
      repeated[0x05].push_back(date);
    } else if (name == "build_date" && DateTagBody(value, date)) {
      repeated[0x0B].push_back(date);
    } else if (numeric) {
      const int v = static_cast<int>(number & 3);
      bool compatVar = true;
      if (name == "ecs_compat")
        ecs = compatCode(v);
      else if (name == "voice_compat")
        voice = compatCode(v);
      else if (name == "intv2_compat")
        intv2 = compatCode(v);
      else if (name == "kc_compat")
        keyboard = compatCode(v);
      else if (name == "tv_compat")
        tutor = compatCode(v);
      else if (name == "ecs")
        ecs = number ? 2 : 0;
      else if (name == "voice")
        voice = number ? 1 : 0;
      else if (name == "intv2")
        intv2 = number ? 0 : 3;
      else if (name == "lto_mapper")
        lto = number ? 1 : 0;
      else if (name == "jlp" || name == "jlp_accel")
        jlp = v;
      else if (name == "jlp_flash")
        flash = static_cast<int>(number & 0x3FF);
      else
        compatVar = false;
      compat = compat || compatVar;
    }
  }
  if (!credits.empty()) bodies[0x03] = credits, seen[0x03] = true;
  if (compat) {
    std::string body;
    Append(body, ecs << 6 | voice << 2 | keyboard);
    Append(body, tutor << 2 | intv2);
    Append(body, 0);
    if (flash < 0) flash = jlp >= 2 ? 4 : 0;
    if (jlp != 0 || lto != 0) {
      Append(body, jlp << 6 | lto << 5 | (flash >> 8));
      if (jlp >= 2) Append(body, flash);
    }
    bodies[0x06] = body;
    seen[0x06] = true;
  }
  std::string out;
  for (int type = 0; type < 256; ++type) {
    std::vector<std::string> tags = repeated[type];
    if (seen[type]) tags.insert(tags.begin(), bodies[type]);
    for (const std::string& body : tags) {
      std::string tag;
      size_t length = body.size();
      int more = length < (1u << 6) ? 0 : length < (1u << 14) ? 1 : length < (1u << 22) ? 2 : 3;
      Append(tag, more << 6 | static_cast<int>(length & 0x3F));
      for (int k = 0; k < more; ++k) Append(tag, static_cast<int>(length >> (6 + 8 * k)));
      Append(tag, type);
      tag += body;
      const uint16_t crc = Crc16(tag);
      Append(tag, crc >> 8);
      Append(tag, crc);
      out += tag;
    }
  }
  return out;
}

}  // namespace cpasm
