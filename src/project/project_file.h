// The text of a project file (.qlp): sections in square brackets, one value per line.
#pragma once

#include <string>
#include <vector>

namespace quillon {

class Project;

// The lines of `text`. A line ends at a line feed or at the end of the text, without a CR just
// before that end; a final line feed starts no further line.
std::vector<std::string> SplitLines(const std::string& text);

// Hands every value line of a project file's text to the project, section by section.
// `path` is the file's own path, which the project name is stored with.
void ReadProjectText(Project& project, const std::string& text, const std::string& path);

// The whole file for the project as it stands, every line ending in CR LF.
std::string ProjectFileText(const Project& project);
// The file of a new project called `name`.
std::string NewProjectFileText(const std::string& name);

}  // namespace quillon
