// What a view of the project tree (the file pane) is told as the tree changes.
#pragma once

#include "project/project_node.h"

namespace quillon {

class ProjectObserver {
 public:
  virtual ~ProjectObserver() = default;

  // `node` is in place: its parent and PreviousSibling() give its position.
  virtual void NodeInserted(ProjectNode& node) = 0;
  // Called for every node that goes, children before their parent, while it still exists.
  virtual void NodeDeleting(ProjectNode& node) = 0;
  // The node's text or image changed (the root when the project is named, a source file when it
  // becomes the main one).
  virtual void NodeTextChanged(ProjectNode& node) = 0;
  virtual void NodeExpanded(ProjectNode& node) = 0;
  // A project was read; the whole tree may be repainted.
  virtual void TreeLoaded() = 0;
  // The project shown before is gone: another is being read or made, or it was closed. What
  // belonged to it elsewhere (a build's lines and marks) goes too.
  virtual void ProjectReplaced() {}
  // Many changes follow (a whole project read or cleared) until the matching end.
  virtual void BulkChangeBegins() {}
  virtual void BulkChangeEnds() {}
};

}  // namespace quillon
