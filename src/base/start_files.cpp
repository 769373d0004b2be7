#include "base/start_files.h"

#include "base/text_util.h"

namespace quillon {

namespace {

bool IsProjectPath(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && EqualsNoCase(path.substr(dot), ".qlp");
}

}  // namespace

std::vector<std::string> CommandLineArguments(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool quoted = false, started = false;
  for (std::size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '\\' && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
      current += '"';
      started = true;
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
      started = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (started) arguments.push_back(current);
      current.clear();
      started = false;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) arguments.push_back(current);
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program itself
  return arguments;
}

StartFiles FilesToOpenAtStart(const std::vector<std::string>& arguments, bool reopenProject,
                              const std::string& lastProject) {
  StartFiles start;
  for (const std::string& argument : arguments) {
    if (IsProjectPath(argument))
      start.project = argument;
    else
      start.files.push_back(argument);
  }
  if (start.project.empty() && reopenProject) start.project = lastProject;
  return start;
}

}  // namespace quillon
