#include "project/project_node.h"

#include <algorithm>

namespace quillon {

const ProjectNode* ProjectNode::PreviousSibling() const {
  if (parent == nullptr) return nullptr;
  const ProjectNode* previous = nullptr;
  for (const auto& child : parent->children) {
    if (child.get() == this) return previous;
    previous = child.get();
  }
  return nullptr;
}

std::unique_ptr<ProjectNode> MakeNode(const std::string& text, int imageSlot, const FileEntry* entry) {
  auto node = std::make_unique<ProjectNode>();
  node->text = text.substr(0, kMaxNodeText);
  node->imageSlot = (imageSlot >= 0 && imageSlot < kImageSlotCount) ? imageSlot : kNoImage;
  if (entry != nullptr) node->entry = *entry;
  return node;
}

ProjectNode& AddChild(ProjectNode& parent, std::unique_ptr<ProjectNode> child, bool sorted) {
  auto& children = parent.children;
  auto position = children.end();
  if (sorted) {
    // The children are kept in order, so the place is found by halving.
    position =
        std::upper_bound(children.begin(), children.end(), child,
                         [](const std::unique_ptr<ProjectNode>& added, const std::unique_ptr<ProjectNode>& sibling) {
                           return CompareNoCase(sibling->text, added->text) > 0;
                         });
  }
  child->parent = &parent;
  return **children.insert(position, std::move(child));
}

}  // namespace quillon
