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
  run.commandLine = QuoteProgramPath(assemblerPath) + Arguments(project.outputPath + "\\" + project.outputName + ".bin",
                                                                project.listingPath, project.mainSource);
  return run;
}

AssemblerRun ComposeDocumentRun(const std::string& assemblerPath, const std::string& documentPath,
                                const std::string& baseName) {
  AssemblerRun run;
  run.directory = FolderOf(documentPath);
  run.listingPath = baseName + ".lst";
  run.commandLine = QuoteProgramPath(assemblerPath) + Arguments(baseName + ".bin", run.listingPath, documentPath);
  return run;
}

}  // namespace quillon
