#include "editor/line_jump.h"

namespace quillon {

int LineFromEntry(const std::string& entry, int lineCount) {
  std::size_t at = entry.find_first_not_of(" \t");
  if (at == std::string::npos) return -1;
  long long value = 0;
  std::size_t digits = 0;
  for (; at < entry.size() && entry[at] >= '0' && entry[at] <= '9'; ++at, ++digits)
    if (value <= lineCount) value = value * 10 + (entry[at] - '0');  // past the end stays past it
  if (digits == 0 || entry.find_first_not_of(" \t", at) != std::string::npos || value < 1) return -1;
  const int last = lineCount > 0 ? lineCount - 1 : 0;
  return value - 1 > last ? last : static_cast<int>(value - 1);
}

int CentredFirstLine(int line, int visibleLines, int lineCount) {
  int first = line - (visibleLines > 1 ? visibleLines / 2 : 0);
  const int lastFirst = lineCount - (visibleLines > 0 ? visibleLines : 1);
  if (first > lastFirst) first = lastFirst;
  return first < 0 ? 0 : first;
}

}  // namespace quillon
