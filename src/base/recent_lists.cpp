#include "base/recent_lists.h"

#include <algorithm>

#include "base/text_util.h"

namespace quillon {

void AddRecent(std::vector<std::string>& list, const std::string& text, std::size_t capacity) {
  if (!list.empty() && list.back() == text) return;
  list.push_back(text);
  while (list.size() > capacity) list.erase(list.begin());
}

void AddRecentPath(std::vector<std::string>& list, const std::string& fullPath, std::size_t capacity) {
  std::erase_if(list, [&](const std::string& entry) { return EqualsNoCase(entry, fullPath); });
  list.push_back(fullPath);
  while (list.size() > capacity) list.erase(list.begin());
}

void DropDuplicatePaths(std::vector<std::string>& list) {
  std::vector<std::string> kept;
  for (std::size_t i = list.size(); i-- > 0;) {
    const bool newer =
        std::any_of(kept.begin(), kept.end(), [&](const std::string& k) { return EqualsNoCase(k, list[i]); });
    if (!newer) kept.insert(kept.begin(), list[i]);
  }
  list = kept;
}

std::vector<RecentMenuItem> RecentMenuItems(const std::vector<std::string>& list, int firstId) {
  std::vector<RecentMenuItem> items;
  for (std::size_t i = list.size(); i-- > 0;) {
    std::string label;
    for (char c : list[i]) {
      if (c == '&') label += '&';
      label += c;
    }
    items.push_back({firstId + static_cast<int>(i), label});
  }
  return items;
}

std::string FolderToRemember(const std::string& chosenPath) { return FolderOf(chosenPath); }

}  // namespace quillon
