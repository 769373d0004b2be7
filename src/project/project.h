// The one open project: its settings, its tree of files and its file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/settings.h"
#include "project/project_file.h"
#include "project/project_node.h"
#include "project/project_observer.h"
#include "project/project_platform.h"

namespace quillon {

enum class ProjectGroup { kSource = 0, kInclude, kListing, kOther };
inline constexpr int kProjectGroupCount = 4;

enum class SaveResult {
  kNotLoaded,  // no project: nothing written
  kSaved,
  kUnchanged,  // nothing changed since the file was read or written: nothing written
  kFailed,     // the file could not be written; the old one is untouched and the project stays changed
};

// A name that can name the project file in the folder shown: not empty, without a folder
// separator, "..", a character the file system refuses, or the form of a section header
// (which would not read back as a name).
bool IsUsableProjectName(const std::string& name);

class Project {
 public:
  // Starts with no project. `platform` and `settings` must outlive the project.
  Project(ProjectPlatform& platform, Settings& settings);
  ~Project();
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  // Attaches a view (or none) and tells it of every node already in the tree.
  void SetObserver(ProjectObserver* observer);

  // Reads a project file. False when it cannot be read; the project open stays as it was then.
  bool LoadProject(const std::string& path);
  // Writes the whole file when the project changed since it was read or last written.
  SaveResult SaveProject();
  // Sets what a project file's values say, in their order; `path` is the file's own path.
  void Apply(const ProjectRecord& record, const std::string& path);
  // The values the file for the project as it stands holds.
  ProjectRecord Record() const;
  // Writes folder\name.qlp for a new project (replacing one of that name) and loads it.
  bool CreateProject(const std::string& name, const std::string& folder);
  // True when the file at `path` can be read.
  bool CanRead(const std::string& path);
  // Back to no project, with nothing left to save.
  void CloseProject();
  // Back to no project; `settingsChanged` keeps its value.
  void ResetProject();

  void SetProjectName(const std::string& name, const std::string& projectFile);
  void SetOutputName(const std::string& text);
  void SetOutputPath(const std::string& text);
  // The folders searched for INCLUDE files, in order (relative ones from the project folder).
  void SetIncludeFolders(const std::vector<std::string>& folders);

  // Each adds a file node unless refused or a duplicate; true when a node was added.
  bool AddMainSource(const std::string& displayName, const std::string& path);
  bool AddSourceFile(const std::string& displayName, const std::string& path);
  bool AddIncludeFile(const std::string& displayName, const std::string& path);
  bool AddListingFile(const std::string& displayName, const std::string& path);
  bool AddOtherFile(const std::string& displayName, const std::string& path);

  // Adds a node under `parent` (a node of this project). With an entry, a file that is already
  // in the project is refused and null returned. `imageSlot` outside 0 to 6 means no image.
  ProjectNode* InsertFileNode(ProjectNode& parent, const std::string& text, int imageSlot, const FileEntry* entry,
                              bool sorted);
  // Makes a node of the source group the main source (built first and written first).
  // False, nothing done, for any other node or the main source itself.
  bool SetMainSource(ProjectNode& node);
  // Removes a file node with its entry. False (nothing done) for the root and the groups.
  bool RemoveFileNode(ProjectNode& node);
  // The full form of a node's path: a relative one is taken from the project folder. False when
  // it cannot be resolved or would not fit a path buffer.
  bool FullPathOf(const std::string& path, std::string& fullPath) const;

  ProjectNode& Root() { return *root_; }
  const ProjectNode& Root() const { return *root_; }
  ProjectNode& Group(ProjectGroup group) { return *groups_[static_cast<int>(group)]; }
  const ProjectNode& Group(ProjectGroup group) const { return *groups_[static_cast<int>(group)]; }
  // Every file node with a copy of its entry.
  const std::map<const ProjectNode*, FileEntry>& FileIndex() const { return fileIndex_; }
  // The path of the project file; empty when none was read.
  std::string ProjectFile() const;
  // Whether closing or switching should ask to save first.
  bool ShouldAskToSave() const { return settingsChanged; }

  // The debugger's breakpoints as the file keeps them. They are written with the next save but
  // ask no question of their own.
  const std::vector<std::string>& Breakpoints() const { return breakpoints_; }
  void SetBreakpoints(std::vector<std::string> values) {
    if (values == breakpoints_) return;
    breakpoints_ = std::move(values);
    breakpointsChanged_ = loaded;
  }

  bool loaded = false;
  bool settingsChanged = false;
  std::string projectName;
  std::string projectDir;
  std::string outputPath;
  std::string outputName;
  std::string listingPath;
  std::string mainSource;
  std::vector<std::string> includeFolders;

 private:
  ProjectNode& InsertNode(ProjectNode& parent, const std::string& text, int imageSlot, const FileEntry* entry,
                          bool sorted);
  bool LoadWithoutNotice(const std::string& path);
  bool IsDuplicate(const FileEntry& entry) const;
  bool SamePath(const std::string& a, const std::string& b) const;
  bool AddToGroup(ProjectGroup group, int imageSlot, const std::string& displayName, const std::string& path);
  void FinishLoad(const std::string& path);
  void DeleteSubtree(ProjectNode* node);
  void ForgetSubtree(ProjectNode& node);
  void Expand(ProjectNode& node);
  void Replay(ProjectNode& node);

  ProjectPlatform& platform_;
  Settings& settings_;
  ProjectObserver* observer_ = nullptr;
  std::unique_ptr<ProjectNode> root_;
  ProjectNode* groups_[kProjectGroupCount] = {};
  std::map<const ProjectNode*, FileEntry> fileIndex_;
  // The file nodes by display name, so that the duplicate check does not scan every file.
  std::unordered_multimap<std::string, const ProjectNode*> byName_;
  std::vector<std::string> breakpoints_;
  bool breakpointsChanged_ = false;
};

}  // namespace quillon
