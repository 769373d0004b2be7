#include "project/project_file.h"

#include "base/regex_search.h"
#include "base/text_util.h"
#include "project/project.h"

namespace quillon {

namespace {

// A header is a line that holds a bracketed name and nothing else but blanks, so a value that
// only starts with a bracketed word ("[v2]\\lib.asm") stays a value.
constexpr const char* kHeaderPattern = "^\\s*\\[([\\w\\s]+)\\]\\s*$";
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

// Sections of one value, which the writer always puts on the line after the header.
bool IsSingleValueSection(const std::string& section) {
  return EqualsNoCase(section, "project name") || EqualsNoCase(section, "output name") ||
         EqualsNoCase(section, "output path");
}

void AppendLine(std::string& text, const std::string& line) {
  text += line;
  text += kLineEnd;
}

// The group's paths in tree order; `first`, when one of them, goes before the others.
void AppendGroup(std::string& text, const char* header, const ProjectNode& group, const std::string& first = {}) {
  AppendLine(text, header);
  const ProjectNode* firstNode = nullptr;
  for (const auto& node : group.children) {
    if (node->entry && !first.empty() && node->entry->path == first) firstNode = node.get();
  }
  if (firstNode) AppendLine(text, first);
  for (const auto& node : group.children) {
    if (node->entry && node.get() != firstNode) AppendLine(text, node->entry->path);
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
  const std::vector<std::string> lines = SplitLines(marked ? text.substr(3) : text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (RegexSearch(line.c_str(), header.get(), captures, 0) <= 0) {
      if (inSection && !line.empty()) ApplyValue(project, section, line, path);
      continue;
    }
    section = captures[0];
    inSection = true;
    // A name such as "[demo]" looks like a header. Written as the writer writes it (the value
    // right under its header, then an empty line or the end) it is the value.
    const bool valueFollows =
        i + 1 < lines.size() && !lines[i + 1].empty() && (i + 2 >= lines.size() || lines[i + 2].empty());
    if (IsSingleValueSection(section) && valueFollows) {
      ApplyValue(project, section, lines[i + 1], path);
      ++i;
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
  // The main source first: the reader makes the first source line the main one.
  AppendGroup(text, "[source]", project.Group(ProjectGroup::kSource), project.mainSource);
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
