#include "project/project_file.h"

#include <algorithm>

#include "base/text_util.h"

namespace quillon {

namespace {

struct SectionName {
  ProjectSection section;
  const char* header;  // as the writer writes it
};

// The writer's order; [build] is read only.
constexpr SectionName kSections[] = {
    {ProjectSection::kProjectName, "[project name]"},
    {ProjectSection::kOutputPath, "[output path]"},
    {ProjectSection::kOutputName, "[output name]"},
    {ProjectSection::kIncludeFolder, "[include folders]"},
    {ProjectSection::kSource, "[source]"},
    {ProjectSection::kInclude, "[include]"},
    {ProjectSection::kListing, "[listing]"},
    {ProjectSection::kOther, "[other]"},
    {ProjectSection::kBreakpoints, "[breakpoints]"},
    {ProjectSection::kBuild, "[build]"},
};

bool IsKeyCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || IsBlank(c);
}

bool IsSingleValueSection(ProjectSection section) {
  return section == ProjectSection::kProjectName || section == ProjectSection::kOutputPath ||
         section == ProjectSection::kOutputName;
}

void AppendLine(std::string& text, const std::string& line) {
  text += line;
  text += kCrLf;
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

LineKind KindOfLine(const std::string& line, ProjectSection& section) {
  std::size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  if (first == line.size() || line[first] != '[') return LineKind::kValue;
  const std::size_t close = line.find(']', first);
  if (close == std::string::npos) return LineKind::kValue;
  const std::string header = line.substr(first, close + 1 - first);
  for (const SectionName& name : kSections) {
    if (EqualsNoCase(header, name.header)) {
      section = name.section;
      return LineKind::kHeader;
    }
  }
  // A bracketed word alone: a section of some other version of the file. An empty pair, or
  // one of blanks only, names none and is a value.
  bool named = false;
  for (std::size_t i = first + 1; i < close; ++i) {
    if (!IsKeyCharacter(line[i])) return LineKind::kValue;
    named = named || !IsBlank(line[i]);
  }
  if (!named) return LineKind::kValue;
  for (std::size_t i = close + 1; i < line.size(); ++i)
    if (!IsBlank(line[i])) return LineKind::kValue;
  return LineKind::kUnknownHeader;
}

ProjectRecord ReadProjectText(const std::string& text) {
  ProjectRecord record;
  enum class State { kOutside, kInSection, kAwaitingValue, kIgnoring } state = State::kOutside;
  ProjectSection section = ProjectSection::kProjectName;
  const bool marked = text.starts_with(kByteOrderMark);
  for (const std::string& line : SplitLines(marked ? text.substr(3) : text)) {
    if (line.empty()) continue;
    ProjectSection named = section;
    const LineKind kind = KindOfLine(line, named);
    if (kind == LineKind::kHeader) {
      section = named;
      state = IsSingleValueSection(section) ? State::kAwaitingValue : State::kInSection;
    } else if (kind == LineKind::kUnknownHeader && state != State::kAwaitingValue) {
      state = State::kIgnoring;
    } else if (state == State::kInSection || state == State::kAwaitingValue) {
      record.push_back({section, line});
      state = State::kInSection;
    }
  }
  return record;
}

std::string WriteProjectText(const ProjectRecord& record) {
  std::string text;
  bool firstSection = true;
  for (const SectionName& name : kSections) {
    if (name.section == ProjectSection::kBuild) continue;
    const auto empty = [&](ProjectSection section) {
      return std::none_of(record.begin(), record.end(), [&](const ProjectValue& v) { return v.section == section; });
    };
    // These sections are written only when they hold something.
    if ((name.section == ProjectSection::kIncludeFolder || name.section == ProjectSection::kBreakpoints) &&
        empty(name.section))
      continue;
    if (!firstSection) AppendLine(text, "");
    firstSection = false;
    AppendLine(text, name.header);
    bool any = false;
    for (const ProjectValue& value : record) {
      if (value.section != name.section) continue;
      AppendLine(text, value.text);
      any = true;
    }
    // A one-value section keeps its line even when empty, so that the layout stays fixed.
    if (!any && IsSingleValueSection(name.section)) AppendLine(text, "");
  }
  return text;
}

std::vector<std::string> FoldersFromText(const std::string& text) {
  std::vector<std::string> folders;
  for (const std::string& line : SplitLines(text)) {
    std::size_t first = 0, last = line.size();
    while (first < last && (IsBlank(line[first]) || line[first] == '\r')) ++first;
    while (last > first && (IsBlank(line[last - 1]) || line[last - 1] == '\r')) --last;
    if (last > first) folders.push_back(line.substr(first, last - first));
  }
  return folders;
}

std::string FoldersText(const std::vector<std::string>& folders) {
  std::string text;
  for (const std::string& folder : folders) {
    if (!text.empty()) text += kCrLf;
    text += folder;
  }
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

std::string StorablePath(const std::string& path) {
  ProjectSection ignored;
  return KindOfLine(path, ignored) == LineKind::kValue ? path : ".\\" + path;
}

std::string PortablePath(const std::string& projectDir, const std::string& fullPath) {
  std::string folder = projectDir;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  const bool inside = !folder.empty() && fullPath.size() > folder.size() + 1 &&
                      (fullPath[folder.size()] == '\\' || fullPath[folder.size()] == '/') &&
                      EqualsNoCase(fullPath.substr(0, folder.size()), folder);
  return inside ? StorablePath(fullPath.substr(folder.size() + 1)) : fullPath;
}

}  // namespace quillon
