// Turns a source file into the listing lines and run options that its directives ask for.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace standin {

struct RunPlan {
  std::vector<std::string> listing;  // listing lines, in order, without line ends
  int errors = 0;
  int warnings = 0;
  int delayMs = 0;
  bool writeListing = true;
  bool exitCodeGiven = false;
  int exitCode = 0;
};

// Reads `source` line by line; `sourceName` is the source path as given on the command line,
// used in the problem lines that name no other file.
RunPlan PlanRun(std::istream& source, const std::string& sourceName);

// The process exit code: the one a directive gave, else 1 after an error line, else 0.
int ExitCodeOf(const RunPlan& plan);

}  // namespace standin
