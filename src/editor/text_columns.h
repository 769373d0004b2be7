// Columns and faces of the editor's text, as rules apart from the control.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

inline constexpr int kDefaultTabWidth = 8;
inline constexpr int kLargestTabWidth = 32;

// A tab width as stored: anything outside 1..kLargestTabWidth gives the default.
int ValidTabWidth(long stored);

// The one-based column of the position after `lineBefore` (the line's characters before the
// caret), counted as the assembler's listing counts them: a tab moves to the next multiple of
// `tabWidth`, every other character takes one column.
int DisplayColumn(std::string_view lineBefore, int tabWidth);

// An installed font family: its face name and whether every character has the same width.
struct InstalledFace {
  std::string name;
  bool fixedPitch;
};

// The face the editor shows text in: the stored face when installed; otherwise the first
// installed fixed-pitch face of Courier New, Consolas, Lucida Console, DejaVu Sans Mono,
// Liberation Mono; otherwise any installed fixed-pitch face (never a vertical "@" face);
// otherwise the stored face as it is. Names compare without regard to case.
std::string EditorFace(const std::string& stored, const std::vector<InstalledFace>& installed);

}  // namespace quillon
