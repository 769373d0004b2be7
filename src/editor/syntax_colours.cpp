#include "editor/syntax_colours.h"

#include <algorithm>
#include <cstdio>

#include "base/text_util.h"

namespace quillon {

namespace {

constexpr Colour kBlack = 0;

void AddRun(std::vector<ColourRun>& runs, std::size_t start, std::size_t end, Colour colour) {
  if (end <= start) return;
  if (!runs.empty() && runs.back().colour == colour && runs.back().end == start) {
    runs.back().end = end;
    return;
  }
  runs.push_back({start, end, colour});
}

// Colour table: black, comment green, then each distinct keyword colour.
std::vector<Colour> ColourTable(const SyntaxTable& table) {
  std::vector<Colour> colours = {kBlack, kCommentColour};
  for (const auto& entry : table.Keywords())
    if (std::find(colours.begin(), colours.end(), entry.second) == colours.end()) colours.push_back(entry.second);
  return colours;
}

void AppendEscaped(std::string& rtf, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '{' || c == '}') {
      rtf += '\\';
      rtf += ch;
    } else if (c == '\t') {
      rtf += "\\tab ";
    } else if (c < 0x20 || c >= 0x80) {
      rtf += "\\'";
      rtf += kHex[c >> 4];
      rtf += kHex[c & 0xF];
    } else {
      rtf += ch;
    }
  }
}

void AppendNumber(std::string& rtf, const char* word, unsigned long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%lu", word, value);
  rtf += buffer;
}

void AppendHeader(std::string& rtf, const RtfFont& font, unsigned codePage, const std::vector<Colour>& colours) {
  rtf += "{\\rtf1\\ansi";
  AppendNumber(rtf, "\\ansicpg", codePage);
  if (!font.face.empty()) {
    rtf += "\\deff0{\\fonttbl{\\f0";
    AppendNumber(rtf, "\\fcharset", font.charset);
    rtf += ' ';
    AppendEscaped(rtf, font.face);
    rtf += ";}}";
  }
  rtf += "{\\colortbl;";
  for (Colour c : colours) {
    AppendNumber(rtf, "\\red", c & 0xFF);
    AppendNumber(rtf, "\\green", (c >> 8) & 0xFF);
    AppendNumber(rtf, "\\blue", (c >> 16) & 0xFF);
    rtf += ';';
  }
  rtf += "}\r\n\\pard";
  if (font.tabTwips > 0)
    for (int i = 1; i <= kRtfTabStops; ++i) AppendNumber(rtf, "\\tx", static_cast<unsigned long>(i * font.tabTwips));
  rtf += "\\plain";
  if (!font.face.empty()) rtf += "\\f0";
  if (font.heightTwips > 0) AppendNumber(rtf, "\\fs", static_cast<unsigned long>(font.heightTwips / 10));
  if (font.effects & 1) rtf += "\\b";
  if (font.effects & 2) rtf += "\\i";
  if (font.effects & 4) rtf += "\\ul";
}

}  // namespace

bool IsWordCharacter(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '@' || c == '-';
}

void LineRuns(std::string_view line, const SyntaxTable& table, std::vector<ColourRun>& runs) {
  runs.clear();
  const std::size_t comment = std::min(line.find(';'), line.size());
  // Blanks show no colour: they join the run before them (at the line's start, the run after
  // them), so that the control holds fewer runs and typing a blank changes no format.
  std::size_t i = 0;
  while (i < comment) {
    const std::size_t start = i;
    const std::size_t from = runs.empty() ? 0 : start;
    if (IsWordCharacter(line[i])) {
      while (i < comment && IsWordCharacter(line[i])) ++i;
      AddRun(runs, from, i, table.ColourOf(line.substr(start, i - start)));
      continue;
    }
    bool blank = true;
    for (; i < comment && !IsWordCharacter(line[i]); ++i) blank = blank && IsBlank(line[i]);
    if (!blank)
      AddRun(runs, from, i, kBlack);
    else if (!runs.empty())
      runs.back().end = i;
  }
  if (comment < line.size())
    AddRun(runs, runs.empty() ? 0 : comment, line.size(), kCommentColour);
  else if (runs.empty())
    AddRun(runs, 0, line.size(), kBlack);  // blanks only
}

std::string ColouredRtf(std::string_view text, const SyntaxTable& table, const RtfFont& font, unsigned codePage) {
  const std::vector<Colour> colours = ColourTable(table);
  std::string rtf;
  rtf.reserve(text.size() + text.size() / 2 + 256);
  AppendHeader(rtf, font, codePage, colours);

  std::vector<ColourRun> runs;
  std::size_t shown = colours.size();  // no colour chosen yet
  std::size_t pos = 0;
  bool endsWithBreak = false;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    LineRuns(line, table, runs);
    for (const ColourRun& run : runs) {
      const std::size_t index =
          static_cast<std::size_t>(std::find(colours.begin(), colours.end(), run.colour) - colours.begin());
      if (index != shown) {
        AppendNumber(rtf, "\\cf", index + 1);  // entry 0 of the table is the automatic colour
        rtf += ' ';
        shown = index;
      }
      AppendEscaped(rtf, line.substr(run.start, run.end - run.start));
    }
    endsWithBreak = end < text.size();
    if (!endsWithBreak) break;
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    rtf += "\\par\r\n";
  }
  if (endsWithBreak) rtf += "\\par\r\n";
  rtf += "}";
  return rtf;
}

}  // namespace quillon
