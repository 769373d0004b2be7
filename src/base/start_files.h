// What the program opens at start-up: the files on its command line, or the last project.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// The arguments of a command line after the program's own name. Blanks separate them, except
// between double quotes, which are dropped; a backslash before a double quote makes it a
// character of the argument.
std::vector<std::string> CommandLineArguments(const std::string& commandLine);

struct StartFiles {
  std::string project;             // the project to open first; empty: none
  std::vector<std::string> files;  // the documents to open after it, in order

  bool operator==(const StartFiles&) const = default;
};

// A ".qlp" argument (any letter case) is the project, the last one when there are several; the
// others are documents. Without a project on the command line, `lastProject` (the project open
// at the last exit, empty for none) is reopened when `reopenProject` is set.
StartFiles FilesToOpenAtStart(const std::vector<std::string>& arguments, bool reopenProject,
                              const std::string& lastProject);

}  // namespace quillon
