// The rules by which the recent lists and the last folder change.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

// Appends `text` as the newest entry unless it already is the newest, then drops the oldest
// entries beyond `capacity`.
void AddRecent(std::vector<std::string>& list, const std::string& text, std::size_t capacity);

// Appends the full path `fullPath` as the newest entry; an older entry for the same path (letter
// case ignored) goes, then the oldest entries beyond `capacity`.
void AddRecentPath(std::vector<std::string>& list, const std::string& fullPath, std::size_t capacity);
// Keeps only the newest entry of each path (letter case ignored), in their order.
void DropDuplicatePaths(std::vector<std::string>& list);

// One item of a Recent submenu.
struct RecentMenuItem {
  int id;
  std::string label;

  bool operator==(const RecentMenuItem&) const = default;
};

// The items of a Recent submenu, top to bottom: the newest entry first, entry i with the ID
// `firstId` + i. An "&" in a path is doubled so that the label shows the path as it is.
std::vector<RecentMenuItem> RecentMenuItems(const std::vector<std::string>& list, int firstId);

// The folder a chosen file lies in, as the file choosers remember it: the text before the last
// backslash (the whole path when it has none).
std::string FolderToRemember(const std::string& chosenPath);

}  // namespace quillon
