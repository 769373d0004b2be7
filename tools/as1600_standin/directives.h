// Turns a source file into the listing lines and run options that its directives ask for.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace standin {

// A large block of listing text written in place of one listing line.
struct Bulk {
  enum class Kind { kHugeListing, kGarbage } kind;
  std::size_t at = 0;          // written before listing line `at`
  std::size_t bytes = 0;       // how much
  std::size_t errorEvery = 0;  // huge listing: an error line after every so many lines (0: none)
  std::string sourceName;
};

struct RunPlan {
  std::vector<std::string> listing;  // listing lines, in order, without line ends
  std::vector<Bulk> bulk;            // in order of `at`
  bool crash = false;                // end as a crashed program after writing the first crashAt lines
  std::size_t crashAt = 0;
  bool hang = false;  // never end (until ended from outside)
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
