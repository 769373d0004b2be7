#include "assemble/assembler_command.h"

#include "base/text_util.h"

namespace quillon {

namespace {

// -o "image" -l "listing" "source", each value quoted, one blank between parts.
std::string Arguments(const std::string& image, const std::string& listing, const std::string& source) {
  return " -o \"" + image + "\" -l \"" + listing + "\" \"" + source + "\"";
}

}  // namespace

std::string QuoteProgramPath(const std::string& assemblerPath) {
  if (!assemblerPath.empty() && assemblerPath.front() == '"') return assemblerPath;
  return "\"" + assemblerPath + "\"";
}

AssemblerRun ComposeProjectRun(const std::string& assemblerPath, const ProjectBuildPaths& project) {
  AssemblerRun run;
  run.directory = project.projectDir;
  run.listingPath = project.listingPath;
  run.imagePath = project.outputPath + "\\" + project.outputName + ".bin";
  run.sourcePath = project.mainSource;
  run.commandLine = QuoteProgramPath(assemblerPath) + Arguments(run.imagePath, project.listingPath, project.mainSource);
  return run;
}

AssemblerRun ComposeDocumentRun(const std::string& assemblerPath, const std::string& documentPath,
                                const std::string& baseName) {
  AssemblerRun run;
  run.directory = FolderOf(documentPath);
  run.listingPath = baseName + ".lst";
  run.imagePath = baseName + ".bin";
  run.sourcePath = documentPath;
  run.commandLine = QuoteProgramPath(assemblerPath) + Arguments(run.imagePath, run.listingPath, documentPath);
  return run;
}

std::string ProgramOf(const std::string& assemblerPath) {
  if (assemblerPath.size() >= 2 && assemblerPath.front() == '"' && assemblerPath.back() == '"')
    return assemblerPath.substr(1, assemblerPath.size() - 2);
  return assemblerPath;
}

std::string PathInFolder(const std::string& folder, const std::string& path) {
  const bool unc = path.starts_with("\\\\");
  const bool withDrive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  if (unc || withDrive || folder.empty()) return path;
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    const bool folderHasDrive = folder.size() >= 2 && folder[1] == ':';
    return folderHasDrive ? folder.substr(0, 2) + path : path;
  }
  if (folder.back() == '\\' || folder.back() == '/') return folder + path;
  return folder + "\\" + path;
}

bool HasFolderPart(const std::string& path) { return path.find_first_of("\\/:") != std::string::npos; }

}  // namespace quillon
