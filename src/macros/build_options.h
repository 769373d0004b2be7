// The four macro texts and their file, macros.cfg: sections [F5] to [F8], one per macro.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/file_io.h"

namespace quillon {

// Macro k (1 to 4) is texts[k - 1]; every line of a text ends in CR LF.
struct BuildOptions {
  std::array<std::string, 4> texts;
};

// Fills the macros whose sections `fileText` holds; the others keep what they held.
// A leading UTF-8 byte-order mark is skipped and a Ctrl+Z byte ends the text.
void ParseBuildOptions(const std::string& fileText, BuildOptions& options);

// The file's text: the four sections in order, each header followed by its macro's lines.
std::string FormatBuildOptions(const BuildOptions& options);

// Reads the file into `options`. A missing file leaves them as they are; false when the
// file could not be opened or read.
bool ReadBuildOptions(FileSystem& files, const std::string& path, BuildOptions& options);

// Replaces the file through a temporary file. False, with the old file untouched, on any failure.
bool WriteBuildOptions(FileSystem& files, const std::string& path, const BuildOptions& options);

// The lines of a macro text that end in a line feed, without their line ends; text after the
// last line feed is no line.
std::vector<std::string> MacroLines(const std::string& text);

}  // namespace quillon
