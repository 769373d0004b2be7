#include "project/project.h"

#include <algorithm>
#include <string_view>

#include "base/file_io.h"
#include "base/text_util.h"
#include "project/project_file.h"

namespace quillon {

namespace {

constexpr const char* kNoProjectText = "no project";
constexpr const char* kGroupTexts[kProjectGroupCount] = {"Source Files", "Include Files", "Listing File",
                                                         "Other Files"};
constexpr const char* kDefaultOutputPath = ".\\obj";

}  // namespace

bool IsUsableProjectName(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos) return false;
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  const std::size_t first = name.find_first_not_of(" \t");
  return first != std::string::npos && name[first] != '[';
}

Project::Project(ProjectPlatform& platform, Settings& settings) : platform_(platform), settings_(settings) {
  ResetProject();
}

Project::~Project() {
  observer_ = nullptr;
  DeleteSubtree(root_.get());
}

void Project::SetObserver(ProjectObserver* observer) {
  observer_ = observer;
  if (observer_ != nullptr && root_) Replay(*root_);
}

void Project::Replay(ProjectNode& node) {
  observer_->NodeInserted(node);
  for (auto& child : node.children) Replay(*child);
  if (node.expanded) observer_->NodeExpanded(node);
}

// ---- Reading, writing and creating ----

bool Project::LoadProject(const std::string& path) {
  if (observer_ != nullptr) observer_->BulkChangeBegins();
  const bool read = LoadWithoutNotice(path);
  if (observer_ != nullptr) observer_->BulkChangeEnds();
  return read;
}

// A file that cannot be read changes nothing: the project open stays as it was.
bool Project::LoadWithoutNotice(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(platform_.Files(), path, text)) return false;
  ResetProject();
  projectDir = FolderOf(path);
  Apply(ReadProjectText(text), path);
  loaded = true;
  if (observer_ != nullptr) observer_->TreeLoaded();
  settings_.startDirectory = FolderOf(path);
  platform_.ChangeDirectory(settings_.startDirectory);
  FinishLoad(path);
  return true;
}

void Project::FinishLoad(const std::string& path) {
  if (projectName.empty()) SetProjectName(NameOf(path), path);
  if (outputPath.empty()) outputPath = kDefaultOutputPath;
  platform_.MakeFolder(outputPath);
  if (listingPath.empty()) {
    const std::string listing = outputPath + "\\" + outputName + ".lst";
    AddListingFile(NameOf(listing), listing);
  }
  Expand(Group(ProjectGroup::kSource));
  settingsChanged = false;
}

SaveResult Project::SaveProject() {
  if (!loaded) return SaveResult::kNotLoaded;
  if (!settingsChanged && !breakpointsChanged_) return SaveResult::kUnchanged;
  const std::string file = ProjectFile();
  if (file.empty() || !WriteFileReplacing(platform_.Files(), file, WriteProjectText(Record())))
    return SaveResult::kFailed;
  settingsChanged = breakpointsChanged_ = false;
  return SaveResult::kSaved;
}

void Project::Apply(const ProjectRecord& record, const std::string& path) {
  for (const ProjectValue& value : record) {
    const std::string name = NameOf(value.text);
    switch (value.section) {
      case ProjectSection::kProjectName:
        SetProjectName(value.text, path);
        break;
      case ProjectSection::kOutputPath:
        outputPath = value.text;
        break;
      case ProjectSection::kOutputName:
        outputName = value.text;
        break;
      case ProjectSection::kIncludeFolder:
        includeFolders.push_back(value.text);
        break;
      case ProjectSection::kBuild:
        AddMainSource(name, value.text);
        break;
      case ProjectSection::kSource:
        AddSourceFile(name, value.text);
        break;
      case ProjectSection::kInclude:
        AddIncludeFile(name, value.text);
        break;
      case ProjectSection::kListing:
        AddListingFile(name, value.text);
        break;
      case ProjectSection::kOther:
        AddOtherFile(name, value.text);
        break;
      case ProjectSection::kBreakpoints:
        breakpoints_.push_back(value.text);
        break;
    }
  }
}

// The main source first: the reader makes the first source line the main one.
ProjectRecord Project::Record() const {
  ProjectRecord record = {{ProjectSection::kProjectName, projectName},
                          {ProjectSection::kOutputPath, outputPath},
                          {ProjectSection::kOutputName, outputName}};
  for (const std::string& folder : includeFolders) record.push_back({ProjectSection::kIncludeFolder, folder});
  const auto addGroup = [&](ProjectGroup group, ProjectSection section, const std::string& first) {
    const ProjectNode* firstNode = nullptr;
    for (const auto& node : Group(group).children)
      if (node->entry && !first.empty() && node->entry->path == first) firstNode = node.get();
    if (firstNode) record.push_back({section, first});
    for (const auto& node : Group(group).children)
      if (node->entry && node.get() != firstNode) record.push_back({section, node->entry->path});
  };
  addGroup(ProjectGroup::kSource, ProjectSection::kSource, mainSource);
  addGroup(ProjectGroup::kInclude, ProjectSection::kInclude, {});
  addGroup(ProjectGroup::kListing, ProjectSection::kListing, {});
  addGroup(ProjectGroup::kOther, ProjectSection::kOther, {});
  for (const std::string& value : breakpoints_) record.push_back({ProjectSection::kBreakpoints, value});
  return record;
}

bool Project::CreateProject(const std::string& name, const std::string& folder) {
  const std::string file = folder + "\\" + name + ".qlp";
  platform_.MakeFolder(folder);
  if (!WriteFileReplacing(platform_.Files(), file, NewProjectFileText(name))) return false;
  return LoadProject(file);
}

bool Project::CanRead(const std::string& path) {
  std::string text;
  return ReadWholeFile(platform_.Files(), path, text);
}

void Project::CloseProject() {
  if (observer_ != nullptr) observer_->BulkChangeBegins();
  ResetProject();
  settingsChanged = false;
  if (observer_ != nullptr) observer_->BulkChangeEnds();
}

std::string Project::ProjectFile() const { return root_->entry ? root_->entry->path : std::string(); }

// ---- The tree ----

void Project::ResetProject() {
  loaded = false;
  DeleteSubtree(root_.get());
  root_ = MakeNode(kNoProjectText, kRootImage, nullptr);
  if (observer_ != nullptr) {
    observer_->ProjectReplaced();
    observer_->NodeInserted(*root_);
  }
  for (int i = 0; i < kProjectGroupCount; ++i) {
    groups_[i] = &InsertNode(*root_, kGroupTexts[i], kGroupImage, nullptr, false);
  }
  Expand(*root_);
  projectName.clear();
  projectDir.clear();
  outputName.clear();
  outputPath.clear();
  listingPath.clear();
  mainSource.clear();
  breakpoints_.clear();
  breakpointsChanged_ = false;
  includeFolders.clear();
}

void Project::DeleteSubtree(ProjectNode* node) {
  if (node == nullptr) return;
  ForgetSubtree(*node);
  if (node == root_.get()) {
    root_.reset();
    return;
  }
  auto& siblings = node->parent->children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                              [node](const std::unique_ptr<ProjectNode>& child) { return child.get() == node; }));
}

void Project::ForgetSubtree(ProjectNode& node) {
  for (auto& child : node.children) ForgetSubtree(*child);
  if (observer_ != nullptr) observer_->NodeDeleting(node);
  if (auto record = fileIndex_.find(&node); record != fileIndex_.end()) {
    auto [first, last] = byName_.equal_range(record->second.displayName);
    for (auto it = first; it != last; ++it)
      if (it->second == &node) {
        byName_.erase(it);
        break;
      }
    fileIndex_.erase(record);
  }
}

void Project::Expand(ProjectNode& node) {
  node.expanded = true;
  if (observer_ != nullptr) observer_->NodeExpanded(node);
}

ProjectNode& Project::InsertNode(ProjectNode& parent, const std::string& text, int imageSlot, const FileEntry* entry,
                                 bool sorted) {
  ProjectNode& node = AddChild(parent, MakeNode(text, imageSlot, entry), sorted);
  if (entry != nullptr) {
    fileIndex_[&node] = *entry;
    byName_.emplace(entry->displayName, &node);
  }
  if (observer_ != nullptr) observer_->NodeInserted(node);
  return node;
}

ProjectNode* Project::InsertFileNode(ProjectNode& parent, const std::string& text, int imageSlot,
                                     const FileEntry* entry, bool sorted) {
  if (entry != nullptr && IsDuplicate(FileEntry{text, entry->path})) return nullptr;
  return &InsertNode(parent, text, imageSlot, entry, sorted);
}

bool Project::IsDuplicate(const FileEntry& entry) const {
  auto [first, last] = byName_.equal_range(entry.displayName);
  return std::any_of(first, last,
                     [&](const auto& named) { return SamePath(fileIndex_.at(named.second).path, entry.path); });
}

// Full paths (relative ones taken from the project folder) compared without regard to case; paths that cannot be
// resolved are compared as written.
bool Project::SamePath(const std::string& a, const std::string& b) const {
  std::string fullA, fullB;
  if (FullPathOf(a, fullA) && FullPathOf(b, fullB)) return EqualsNoCase(fullA, fullB);
  return EqualsNoCase(a, b);
}

// Removing the main source makes the first remaining source the main one; removing the listing
// makes the listing path the default one, as the next load would.
bool Project::RemoveFileNode(ProjectNode& node) {
  if (node.parent == nullptr || node.parent->parent == nullptr) return false;
  ProjectNode& group = *node.parent;
  const bool wasMain = &group == &Group(ProjectGroup::kSource) && node.imageSlot == kMainSourceImage;
  const bool wasListing = &group == &Group(ProjectGroup::kListing);
  DeleteSubtree(&node);
  if (wasMain) {
    mainSource.clear();
    if (!group.children.empty() && group.children.front()->entry) {
      ProjectNode& first = *group.children.front();
      first.imageSlot = kMainSourceImage;
      mainSource = first.entry->path;
      if (observer_ != nullptr) observer_->NodeTextChanged(first);
    }
  }
  if (wasListing) listingPath = outputPath + "\\" + outputName + ".lst";
  settingsChanged = true;
  return true;
}

bool Project::SetMainSource(ProjectNode& node) {
  ProjectNode& sources = Group(ProjectGroup::kSource);
  if (node.parent != &sources || !node.entry || node.imageSlot == kMainSourceImage) return false;
  for (auto& child : sources.children) {
    if (child->imageSlot != kMainSourceImage) continue;
    child->imageSlot = kSourceImage;
    if (observer_ != nullptr) observer_->NodeTextChanged(*child);
  }
  node.imageSlot = kMainSourceImage;
  mainSource = node.entry->path;
  settingsChanged = true;
  if (observer_ != nullptr) observer_->NodeTextChanged(node);
  return true;
}

bool Project::FullPathOf(const std::string& path, std::string& fullPath) const {
  const bool absolute = (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
  const std::string joined = absolute || projectDir.empty() ? path : projectDir + "\\" + path;
  return platform_.ResolveFullPath(joined, fullPath);
}

// ---- Names, settings and files ----

void Project::SetProjectName(const std::string& name, const std::string& projectFile) {
  if (projectName != name || ProjectFile() != projectFile) settingsChanged = true;
  root_->text = name.substr(0, kMaxNodeText);
  root_->entry = FileEntry{name, projectFile};
  projectName = name;
  if (observer_ != nullptr) observer_->NodeTextChanged(*root_);
}

void Project::SetOutputName(const std::string& text) {
  if (outputName != text) settingsChanged = true;
  outputName = text;
}

void Project::SetOutputPath(const std::string& text) {
  if (outputPath != text) settingsChanged = true;
  outputPath = text;
}

void Project::SetIncludeFolders(const std::vector<std::string>& folders) {
  if (includeFolders != folders) settingsChanged = true;
  includeFolders = folders;
}

bool Project::AddToGroup(ProjectGroup group, int imageSlot, const std::string& displayName, const std::string& path) {
  const FileEntry entry{displayName, path};
  if (InsertFileNode(Group(group), displayName, imageSlot, &entry, true) == nullptr) return false;
  settingsChanged = true;
  return true;
}

bool Project::AddMainSource(const std::string& displayName, const std::string& path) {
  if (!mainSource.empty() || !AddToGroup(ProjectGroup::kSource, kMainSourceImage, displayName, path)) return false;
  mainSource = path;
  return true;
}

bool Project::AddSourceFile(const std::string& displayName, const std::string& path) {
  if (mainSource.empty()) return AddMainSource(displayName, path);
  return AddToGroup(ProjectGroup::kSource, kSourceImage, displayName, path);
}

bool Project::AddIncludeFile(const std::string& displayName, const std::string& path) {
  return AddToGroup(ProjectGroup::kInclude, kIncludeImage, displayName, path);
}

bool Project::AddListingFile(const std::string& displayName, const std::string& path) {
  if (!listingPath.empty() || !AddToGroup(ProjectGroup::kListing, kListingImage, displayName, path)) return false;
  listingPath = path;
  return true;
}

bool Project::AddOtherFile(const std::string& displayName, const std::string& path) {
  return AddToGroup(ProjectGroup::kOther, kOtherImage, displayName, path);
}

}  // namespace quillon
