// The nodes of a project's tree: the root, the four groups and the file nodes.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text_util.h"

namespace quillon {

// What a file node (and the root of a read project) carries.
struct FileEntry {
  std::string displayName;
  std::string path;

  bool operator==(const FileEntry&) const = default;
};

// Picture of each node kind; the file pane maps a slot to its image-list index.
enum ImageSlot : int {
  kRootImage = 0,
  kGroupImage = 1,
  kSourceImage = 2,
  kMainSourceImage = 3,
  kIncludeImage = 4,
  kOtherImage = 5,
  kListingImage = 6,
};
inline constexpr int kImageSlotCount = 7;
inline constexpr int kNoImage = -1;

// Node texts pass through a path buffer, so they keep at most this many characters.
inline constexpr std::size_t kMaxNodeText = kPathBufferSize - 1;

struct ProjectNode {
  std::string text;
  int imageSlot = kNoImage;  // 0 to 6, or kNoImage
  std::optional<FileEntry> entry;
  bool expanded = false;
  ProjectNode* parent = nullptr;
  std::vector<std::unique_ptr<ProjectNode>> children;
  void* viewItem = nullptr;  // free for the view's own handle of the node

  // The child before this one, or null when it is the first (or the root).
  const ProjectNode* PreviousSibling() const;
};

// A node with `text` cut to kMaxNodeText characters and `imageSlot` kept only when valid.
std::unique_ptr<ProjectNode> MakeNode(const std::string& text, int imageSlot, const FileEntry* entry);

// Adds `child` under `parent`: after the last child, or when `sorted` after every child whose
// text does not sort after it, ignoring letter case. Returns the child.
ProjectNode& AddChild(ProjectNode& parent, std::unique_ptr<ProjectNode> child, bool sorted);

}  // namespace quillon
