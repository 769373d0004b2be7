#include "editor/line_edits.h"

#include <functional>

#include "base/text_util.h"

namespace quillon {

namespace {

bool HoldsSomething(const std::string& line) {
  for (char c : line)
    if (!IsBlank(c)) return true;
  return false;
}

// Each line of `lines` passed through `change`, the breaks kept.
std::string EachLine(const std::string& lines, const std::function<std::string(const std::string&)>& change) {
  std::string out;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = lines.find('\r', from);
    out += change(lines.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    out += '\r';
    from = end + 1;
  }
  return out;
}

}  // namespace

std::string LeadingBlanks(const std::string& line) {
  std::size_t n = 0;
  while (n < line.size() && IsBlank(line[n])) ++n;
  return line.substr(0, n);
}

std::string IndentLines(const std::string& lines) {
  return EachLine(lines, [](const std::string& line) { return HoldsSomething(line) ? "\t" + line : line; });
}

std::string OutdentLines(const std::string& lines, int tabWidth) {
  return EachLine(lines, [tabWidth](const std::string& line) {
    std::size_t n = 0;
    while (n < line.size() && static_cast<int>(n) < tabWidth && line[n] == ' ') ++n;
    if (n < line.size() && static_cast<int>(n) < tabWidth && line[n] == '\t') ++n;
    return line.substr(n);
  });
}

std::string ToggleLineComments(const std::string& lines) {
  bool allCommented = true, any = false;
  EachLine(lines, [&](const std::string& line) {
    if (HoldsSomething(line)) {
      any = true;
      if (line[LeadingBlanks(line).size()] != ';') allCommented = false;
    }
    return std::string();
  });
  if (!any) return lines;
  if (allCommented)
    return EachLine(lines, [](const std::string& line) {
      if (!HoldsSomething(line)) return line;
      std::string out = line;
      out.erase(LeadingBlanks(line).size(), 1);
      return out;
    });
  return EachLine(lines, [](const std::string& line) { return HoldsSomething(line) ? ";" + line : line; });
}

}  // namespace quillon
