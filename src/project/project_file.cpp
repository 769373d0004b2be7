#include "project/project_file.h"

#include "base/regex_search.h"
#include "base/text_util.h"
#include "project/project.h"

namespace quillon {

namespace {

// A header is a bracketed name at the start of its line; what follows it is ignored.
constexpr const char* kHeaderPattern = "^\\s*\\[([\\w\\s]+)\\]";
constexpr const char* kLineEnd = "\r\n";
// Some editors put this before the first line of a file they save as UTF-8.
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

void ApplyValue(Project& project, const std::string& section, const std::string& line, const std::string& path) {
  const std::string name = NameOf(line);
  if (EqualsNoCase(section, "build")) {
    project.AddMainSource(name, line);
  } else if (EqualsNoCase(section, "source")) {
    project.AddSourceFile(name, line);
  } else if (EqualsNoCase(section, "include")) {
    project.AddIncludeFile(name, line);
  } else if (EqualsNoCase(section, "other")) {
    project.AddOtherFile(name, line);
  } else if (EqualsNoCase(section, "project name")) {
    project.SetProjectName(line, path);
  } else if (EqualsNoCase(section, "output name")) {
    project.outputName = line;
  } else if (EqualsNoCase(section, "output path")) {
    project.outputPath = line;
  } else if (EqualsNoCase(section, "listing")) {
    project.AddListingFile(name, line);
  }
}

void AppendLine(std::string& text, const std::string& line) {
  text += line;
  text += kLineEnd;
}

void AppendGroup(std::string& text, const char* header, const ProjectNode& group) {
  AppendLine(text, header);
  for (const auto& node : group.children) {
    if (node->entry) AppendLine(text, node->entry->path);
  }
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos) end = text.size();
    std::size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    lines.push_back(text.substr(start, length));
    start = next;
  }
  return lines;
}

void ReadProjectText(Project& project, const std::string& text, const std::string& path) {
  Pattern header = CompilePattern(kHeaderPattern);
  std::vector<std::string> captures;
  bool inSection = false;
  std::string section;
  const bool marked = text.starts_with(kByteOrderMark);
  for (const std::string& line : SplitLines(marked ? text.substr(3) : text)) {
    if (RegexSearch(line.c_str(), header.get(), captures, 0) > 0) {
      section = captures[0];
      inSection = true;
    } else if (inSection && !line.empty()) {
      ApplyValue(project, section, line, path);
    }
  }
}

std::string ProjectFileText(const Project& project) {
  std::string text;
  AppendLine(text, "[project name]");
  AppendLine(text, project.projectName);
  AppendLine(text, "");
  AppendLine(text, "[output path]");
  AppendLine(text, project.outputPath);
  AppendLine(text, "");
  AppendLine(text, "[output name]");
  AppendLine(text, project.outputName);
  AppendLine(text, "");
  AppendGroup(text, "[source]", project.Group(ProjectGroup::kSource));
  AppendLine(text, "");
  AppendGroup(text, "[include]", project.Group(ProjectGroup::kInclude));
  AppendLine(text, "");
  AppendGroup(text, "[listing]", project.Group(ProjectGroup::kListing));
  AppendLine(text, "");
  AppendGroup(text, "[other]", project.Group(ProjectGroup::kOther));
  return text;
}

std::string NewProjectFileText(const std::string& name) {
  std::string text;
  for (const std::string& line :
       {std::string("[project name]"), name, std::string(), std::string("[output path]"), std::string(".\\obj"),
        std::string(), std::string("[output name]"), name, std::string()}) {
    AppendLine(text, line);
  }
  return text;
}

}  // namespace quillon
