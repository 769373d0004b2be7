#include "assemble/assembler_command.h"

#include "base/text_util.h"

namespace quillon {

namespace {

// -o "image" -l "listing" [-i "folder"]... "source", each value quoted, one blank between parts.
std::string Arguments(const std::string& image, const std::string& listing, const std::string& source,
                      const std::vector<std::string>& folders = {}) {
  std::string text = " -o \"" + image + "\" -l \"" + listing + "\"";
  for (const std::string& folder : folders) text += " -i \"" + folder + "\"";
  return text + " \"" + source + "\"";
}

}  // namespace

std::string ImageFileName(const std::string& outputName) {
  const bool rom = outputName.size() > 4 && EqualsNoCase(outputName.substr(outputName.size() - 4), ".rom");
  return rom ? outputName : outputName + ".bin";
}

std::string QuoteProgramPath(const std::string& assemblerPath) {
  if (!assemblerPath.empty() && assemblerPath.front() == '"') return assemblerPath;
  return "\"" + assemblerPath + "\"";
}

AssemblerRun ComposeProjectRun(const std::string& assemblerPath, const ProjectBuildPaths& project,
                               const std::vector<std::string>& includeFolders) {
  AssemblerRun run;
  run.directory = project.projectDir;
  run.listingPath = project.listingPath;
  std::vector<std::string> folders;
  for (const std::string& folder : includeFolders) folders.push_back(PathInFolder(project.projectDir, folder));
  run.imagePath = project.outputPath + "\\" + ImageFileName(project.outputName);
  run.sourcePath = project.mainSource;
  run.commandLine =
      QuoteProgramPath(assemblerPath) + Arguments(run.imagePath, project.listingPath, project.mainSource, folders);
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
