// How a line of source is coloured, and the whole text as coloured RTF (no platform calls).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/syntax_table.h"

namespace quillon {

// Comments run from the first ";" of a line to its end.
inline constexpr Colour kCommentColour = 0x7F00;

// Words are runs of ASCII letters, digits, "_", "@" and "-": the characters a keyword can hold.
// Everything else, bytes 0x80-0xFF included, separates words.
bool IsWordCharacter(char c);

// A run of one colour: characters [start, end) of a line.
struct ColourRun {
  std::size_t start;
  std::size_t end;
  Colour colour;
  bool operator==(const ColourRun&) const = default;
};

// The runs that cover a line (text without its line break) from its first to its last character:
// keywords in their colours, the comment green, everything else black. Blanks (spaces and tabs)
// between words take the colour of the run before them, and at the line's start that of the
// run after them. Neighbouring runs of one colour are joined. An empty line has no runs.
void LineRuns(std::string_view line, const SyntaxTable& table, std::vector<ColourRun>& runs);

// The font the RTF text is shown in; an empty face or a zero height are left out.
struct RtfFont {
  std::string face;
  int heightTwips = 0;   // whole half-points only: the RTF height counts in half-points
  unsigned effects = 0;  // bold 1, italic 2, underline 4
  unsigned charset = 0;  // the font's character set
  int tabTwips = 0;      // a tab stop every this many twips (as many as the control takes); 0: none
};

// The number of tab stops a paragraph can hold.
inline constexpr int kRtfTabStops = 32;

// The text as RTF with a colour table, coloured line by line as LineRuns says. Each CR LF, lone
// CR and lone LF is one line break; a text that ends with a break gets one more paragraph mark,
// because the control drops the last one when it reads RTF. Bytes below 0x20 and from 0x80 up,
// and "\", "{" and "}", are escaped, so that the control holds exactly the text's characters.
// The text must not hold a NUL byte (RTF cannot carry it).
std::string ColouredRtf(std::string_view text, const SyntaxTable& table, const RtfFont& font, unsigned codePage);

}  // namespace quillon
