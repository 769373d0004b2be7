// The text of a project file (.qlp): sections in square brackets, one value per line. The
// reader turns the text into a plain record and the writer writes one; the project applies it.
#pragma once

#include <string>
#include <vector>

namespace quillon {

enum class ProjectSection {
  kProjectName,
  kOutputPath,
  kOutputName,
  kIncludeFolder,  // a folder the assembler searches for INCLUDE files (-i)
  kBuild,
  kSource,
  kInclude,
  kListing,
  kOther,
  kBreakpoints,  // the debugger's, "line path" a value; written only when there are some
};

// One value line of a project file and the section it stands in.
struct ProjectValue {
  ProjectSection section;
  std::string text;

  bool operator==(const ProjectValue&) const = default;
};

// The values of a file in the order they appear.
using ProjectRecord = std::vector<ProjectValue>;

// The lines of `text`. A line ends at a line feed or at the end of the text, without a CR just
// before that end; a final line feed starts no further line.
std::vector<std::string> SplitLines(const std::string& text);

// What a line starts. A line whose first non-blank text is '[' + a section name (any case) + ']'
// is that section's header, whatever follows it. A line that is a bracketed word and nothing
// else ("[notes]") starts a section this program does not know, whose values are ignored. Any
// other line is a value ("[v2]\\lib.asm" too, and "[]" or "[ ]", which name no section).
enum class LineKind { kValue, kHeader, kUnknownHeader };
LineKind KindOfLine(const std::string& line, ProjectSection& section);

// The value lines of a project file's text. Lines before the first header, empty lines and the
// lines of unknown sections are left out. The first line under a one-value section (name,
// output path, output name) is its value even when it looks like an unknown header ("[demo]").
ProjectRecord ReadProjectText(const std::string& text);

// The whole file for `record`, every line ending in CR LF: the sections in a fixed order, each
// header followed by its values in record order and an empty line. [build] is not written, nor
// [include folders] when it has no values (a file without them reads as before).
std::string WriteProjectText(const ProjectRecord& record);
// The file of a new project called `name`.
std::string NewProjectFileText(const std::string& name);

// The Project Settings list of include folders: one a line, blanks around each dropped, empty
// lines left out; and back.
std::vector<std::string> FoldersFromText(const std::string& text);
std::string FoldersText(const std::vector<std::string>& folders);

// A path to store in a project file that reads back as a value: one that would read as a
// header gets ".\\" in front (the same file).
std::string StorablePath(const std::string& path);

// The path to store for the file at `fullPath` in a project whose folder is `projectDir`: the
// part after the folder when the file lies inside it (so that the project can move with its
// folder), else the full path. Letter case is ignored in the comparison.
std::string PortablePath(const std::string& projectDir, const std::string& fullPath);

}  // namespace quillon
