// Where the build writes its progress and the listing's problem lines. The output pane
// implements it; tests and tools record or count the lines.
#pragma once

#include <string>

namespace quillon {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Appends `text`. A non-empty `file` makes the line a jump target to `file` at the
  // zero-based `line` (-1: open the file without moving the caret).
  virtual void AddLine(const std::string& text, const std::string& file, int line) = 0;
};

}  // namespace quillon
