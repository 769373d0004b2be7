// The assembler's command line for a build of the loaded project or of the active document.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// What the build needs to run the assembler once.
struct AssemblerRun {
  std::string commandLine;  // the whole line, program first; may be longer than 259 characters
  std::string directory;    // folder to make current before the assembler starts
  std::string listingPath;  // the listing to parse afterwards (relative to `directory`)
  std::string imagePath;    // the image it writes (relative to `directory`)
  std::string sourcePath;   // the main source as the command line names it
};

// The project's paths that a build reads.
struct ProjectBuildPaths {
  std::string projectDir;
  std::string outputPath;
  std::string outputName;
  std::string listingPath;
  std::string mainSource;
};

// The image's file name for the project's output name: the name with .bin, or the name itself
// when it ends in .rom (a .rom build).
std::string ImageFileName(const std::string& outputName);

// The program path between double quotes, unless it starts with one already. The assembler
// path names a program only; options after it are not supported.
std::string QuoteProgramPath(const std::string& assemblerPath);

// program -o "outputPath\outputName.bin" -l "listingPath" [-i "folder"]... "mainSource", run in
// projectDir. Each include folder is passed as -i, a relative one taken in projectDir. An output
// name that ends in .rom is the image's whole name (a .rom build).
AssemblerRun ComposeProjectRun(const std::string& assemblerPath, const ProjectBuildPaths& project,
                               const std::vector<std::string>& includeFolders = {});

// program -o "baseName.bin" -l "baseName.lst" "documentPath", run in the document's folder.
AssemblerRun ComposeDocumentRun(const std::string& assemblerPath, const std::string& documentPath,
                                const std::string& baseName);

// The assembler path without the double quotes around it, if it has them.
std::string ProgramOf(const std::string& assemblerPath);

// `path` as seen from `folder` (a full path): an absolute path as it is, a path that starts with
// one backslash on the folder's drive, any other path inside the folder.
std::string PathInFolder(const std::string& folder, const std::string& path);

// True when `path` names a folder as well as a file, so it is not searched for.
bool HasFolderPart(const std::string& path);

}  // namespace quillon
