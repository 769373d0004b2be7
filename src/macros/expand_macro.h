// Placeholders of a macro text and of the emulator arguments: %ASM%, %LOCAL%, %OUTDIR%, %INPUT%
// and %OUTPUT%.
#pragma once

#include <string>

#include "assemble/assembler_command.h"

namespace quillon {

// What each placeholder stands for.
struct PlaceholderValues {
  std::string assembler;  // %ASM%
  std::string local;      // %LOCAL%
  std::string outdir;     // %OUTDIR%
  std::string input;      // %INPUT%
  std::string output;     // %OUTPUT%
};

// Where the values come from: the build F7 would run now.
struct PlaceholderSources {
  std::string assembler;       // the assembler's full path as F7 would start it
  std::string startDirectory;  // the working directory
  bool project = false;        // a project is loaded; `paths` hold it (projectDir a full path)
  ProjectBuildPaths paths;
  bool document = false;     // without a project: there is an active document with a record
  std::string documentPath;  // ... its full path, empty when it has no file name yet
  std::string documentBaseName;
};

// The values for `sources`. With a project: its output folder, main source and image inside its
// folder. Without one: the active document's folder, path and the image F7 writes beside it;
// %INPUT% is "untitled" without a document, the others empty.
PlaceholderValues PlaceholdersFor(const PlaceholderSources& sources);

// Replaces the five placeholders (names are case-sensitive). "%%" and a lone percent sign stay,
// and so does an unknown %NAME% (a name without blanks), so that the command interpreter's own
// variables still work. Inserted text is never searched again.
std::string ExpandPlaceholders(const std::string& text, const PlaceholderValues& values);

}  // namespace quillon
