#include "editor/text_columns.h"

#include "base/text_util.h"

namespace quillon {

int ValidTabWidth(long stored) {
  return stored >= 1 && stored <= kLargestTabWidth ? static_cast<int>(stored) : kDefaultTabWidth;
}

int DisplayColumn(std::string_view lineBefore, int tabWidth) {
  tabWidth = ValidTabWidth(tabWidth);
  int column = 0;  // zero-based
  for (char c : lineBefore) column = c == '\t' ? (column / tabWidth + 1) * tabWidth : column + 1;
  return column + 1;
}

std::string EditorFace(const std::string& stored, const std::vector<InstalledFace>& installed) {
  const InstalledFace* any = nullptr;
  for (const InstalledFace& face : installed) {
    if (EqualsNoCase(face.name, stored)) return face.name;
    if (!any && face.fixedPitch && !face.name.empty() && face.name[0] != '@') any = &face;
  }
  for (const char* preferred : {"Courier New", "Consolas", "Lucida Console", "DejaVu Sans Mono", "Liberation Mono"})
    for (const InstalledFace& face : installed)
      if (face.fixedPitch && EqualsNoCase(face.name, preferred)) return face.name;
  return any ? any->name : stored;
}

}  // namespace quillon
