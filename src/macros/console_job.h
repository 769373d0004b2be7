// What the console helper (quillon_console.exe) is to do: a list of steps, kept in a file that
// the program writes and the helper reads. Each step is one line: a kind letter and its text.
#pragma once

#include <string>
#include <vector>

namespace quillon {

struct ConsoleStep {
  enum Kind : char {
    kFolder = 'D',   // the working folder of the steps that follow
    kShow = 'E',     // print the text and a line end
    kProgram = 'P',  // run the text as a command line
    kCommand = 'C',  // run the text through the command interpreter
    kListing = 'L',  // the listing the steps before were to write: say so when it is missing
  };
  Kind kind;
  std::string text;  // holds no line break

  bool operator==(const ConsoleStep&) const = default;
};

// The file's text. Line breaks inside a text become spaces.
std::string FormatConsoleJob(const std::vector<ConsoleStep>& steps);

// The steps of a file's text; lines of an unknown kind are skipped.
std::vector<ConsoleStep> ParseConsoleJob(const std::string& text);

}  // namespace quillon
