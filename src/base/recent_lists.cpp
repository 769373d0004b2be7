#include "base/recent_lists.h"

#include "base/text_util.h"

namespace quillon {

void AddRecent(std::vector<std::string>& list, const std::string& text, std::size_t capacity) {
  if (!list.empty() && list.back() == text) return;
  list.push_back(text);
  while (list.size() > capacity) list.erase(list.begin());
}

std::string FolderToRemember(const std::string& chosenPath) { return FolderOf(chosenPath); }

}  // namespace quillon
