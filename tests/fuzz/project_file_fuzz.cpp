// Project files: any bytes load without harm, and what the writer writes reads back to the
// same project and the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "project/project.h"
#include "project/project_file.h"
#include "support/memory_platform.h"

namespace {

using quillon::Project;
using quillon::ProjectGroup;

constexpr const char* kPath = "C:\\prj\\fuzz.qlp";

std::string GroupLines(const Project& project, ProjectGroup group) {
  std::string text;
  for (const auto& node : project.Group(group).children) {
    text += node->entry ? node->entry->path : "<no entry>";
    text += '\n';
  }
  return text;
}

// Everything the file holds, in a form two projects can be compared by.
std::string Contents(const Project& project) {
  std::string text = project.projectName + '\n' + project.outputPath + '\n' + project.outputName + '\n' +
                     project.listingPath + '\n' + project.mainSource + '\n';
  for (ProjectGroup group :
       {ProjectGroup::kSource, ProjectGroup::kInclude, ProjectGroup::kListing, ProjectGroup::kOther})
    text += GroupLines(project, group) + "--\n";
  return text;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "round trip broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon::MemoryPlatform platform;
  quillon::Settings settings;
  platform.Write(kPath, std::string(reinterpret_cast<const char*>(data), size));
  platform.currentDirectory = "C:\\prj";

  Project first(platform, settings);
  Require(first.LoadProject(kPath), "the first load failed");
  first.settingsChanged = true;  // written in the writer's layout
  Require(first.SaveProject() == quillon::SaveResult::kSaved, "the first save failed");
  const std::string written = platform.files[kPath];
  Require(written == quillon::WriteProjectText(first.Record()), "the saved file differs from the text");

  Project second(platform, settings);
  Require(second.LoadProject(kPath), "the second load failed");
  Require(Contents(second) == Contents(first), "the written file reads back to another project");
  Require(quillon::WriteProjectText(second.Record()) == written, "the written file is written differently");
  return 0;
}
