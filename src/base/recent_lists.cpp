#include "base/recent_lists.h"

#include "base/text_util.h"

namespace quillon {

void AddRecent(std::vector<std::string>& list, const std::string& text, std::size_t capacity) {
  if (!list.empty() && list.back() == text) return;
  list.push_back(text);
  while (list.size() > capacity) list.erase(list.begin());
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
