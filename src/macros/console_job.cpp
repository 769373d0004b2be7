#include "macros/console_job.h"

#include "project/project_file.h"

namespace quillon {

std::string FormatConsoleJob(const std::vector<ConsoleStep>& steps) {
  std::string text;
  for (const ConsoleStep& step : steps) {
    text += static_cast<char>(step.kind);
    for (char c : step.text) text += c == '\r' || c == '\n' ? ' ' : c;
    text += "\r\n";
  }
  return text;
}

std::vector<ConsoleStep> ParseConsoleJob(const std::string& text) {
  std::vector<ConsoleStep> steps;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty()) continue;
    const char kind = line[0];
    if (kind == ConsoleStep::kFolder || kind == ConsoleStep::kShow || kind == ConsoleStep::kProgram ||
        kind == ConsoleStep::kCommand || kind == ConsoleStep::kListing) {
      steps.push_back({static_cast<ConsoleStep::Kind>(kind), line.substr(1)});
    }
  }
  return steps;
}

}  // namespace quillon
