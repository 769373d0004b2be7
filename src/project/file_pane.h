// The file pane along the left of the frame: the project's tree, from which files are opened,
// added and removed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "project/project_observer.h"
#include "ui/window.h"

namespace quillon {

class Project;

inline constexpr const char* kFilePaneClass = "QUILLON_FILEPANE";

class FilePane : public ProjectObserver, public WindowObject {
 public:
  // Creates the pane window and its tree, attaches itself to `project` and shows its tree.
  FilePane(HWND frame, HINSTANCE instance, Project& project);
  // Detaches from the project and destroys the windows. `project` must still exist.
  ~FilePane() override;
  FilePane(const FilePane&) = delete;
  FilePane& operator=(const FilePane&) = delete;

  HWND Window() const { return Handle(); }
  HWND Tree() const { return tree_; }
  Project& OwnProject() { return project_; }

  // Moves and sizes the pane, repainting it; nothing when the rectangle is unchanged.
  void Move(int x, int y, int width, int height);
  // The selected file node's path in full (a relative one taken from the project folder).
  // False for no selection, the root, a group, or a path that is 260 characters or longer.
  bool GetSelectedFilePath(std::string& path) const;
  // Asks "Remove <name> from the project?" and on Yes removes the selected file node (the file
  // stays on disk); the root and the groups stay.
  void RemoveSelectedFile();
  // An item of the selected node's right-click menu: IDM_PANE_OPEN, IDM_PANE_SETMAIN (a source
  // file only) or IDM_PANE_REMOVE.
  void RunNodeCommand(int id);
  // Double-click or Enter on the selected node: a file goes to Recent Files and is opened.
  // False when the node is no file, so that the tree does its own handling.
  bool OpenSelectedFile();

  // ProjectObserver
  void NodeInserted(ProjectNode& node) override;
  void NodeDeleting(ProjectNode& node) override;
  void NodeTextChanged(ProjectNode& node) override;
  void NodeExpanded(ProjectNode& node) override;
  void TreeLoaded() override;
  void ProjectReplaced() override;
  void BulkChangeBegins() override;
  void BulkChangeEnds() override;

 private:
  bool OnSize(WPARAM kind, int width, int height) override;
  bool OnSizing(WPARAM edge, RECT* proposed) override;
  bool OnNotify(NMHDR* header) override;

  ProjectNode* SelectedNode() const;
  void ShowNodeMenu();
  void SetItemImage(ProjectNode& node);

  HWND frame_;
  HINSTANCE instance_;
  Project& project_;
  HWND tree_ = nullptr;
  HIMAGELIST images_ = nullptr;
  int imageSlots_[kImageSlotCount] = {};
  int bulk_ = 0;
};

// Commands 9000 to 9002: choose one file and add it to the loaded project's group.
void AddSourceFilesCommand(HWND frame, Project& project);
void AddIncludeFilesCommand(HWND frame, Project& project);
void AddOtherFilesCommand(HWND frame, Project& project);

}  // namespace quillon
