#include "base/recent_lists.h"

#include <gtest/gtest.h>

namespace quillon {
namespace recent_lists_test {

using List = std::vector<std::string>;

TEST(RecentLists, AddComparesOnlyTheNewestAndKeepsTheCapacity) {
  struct Case {
    List before;
    std::string text;
    std::size_t capacity;
    List after;
  };
  const Case cases[] = {
      {{}, "A", 5, {"A"}},
      {{"A"}, "A", 5, {"A"}},                 // the same file twice in a row: once
      {{"A", "B"}, "A", 5, {"A", "B", "A"}},  // only the newest is compared
      {{"C:\\Src\\Game.asm"}, "c:\\src\\game.asm", 5, {"C:\\Src\\Game.asm", "c:\\src\\game.asm"}},
      {{"1", "2", "3", "4", "5"}, "6", 5, {"2", "3", "4", "5", "6"}},
  };
  for (const Case& c : cases) {
    List list = c.before;
    AddRecent(list, c.text, c.capacity);
    EXPECT_EQ(list, c.after) << c.text;
  }
  List finds;
  for (int i = 0; i < 20; ++i) AddRecent(finds, "t" + std::to_string(i), 15);
  ASSERT_EQ(finds.size(), 15u);
  EXPECT_EQ(finds.front(), "t5");
  EXPECT_EQ(finds.back(), "t19");
}

// Recent Files and Recent Projects hold full paths: a file counts once whatever its letter case,
// and opening it again makes it the newest.
TEST(RecentLists, APathIsListedOnceAndTheLatestUseIsNewest) {
  struct Case {
    List before;
    std::string path;
    List after;
  };
  const Case cases[] = {
      {{}, "C:\\a.asm", {"C:\\a.asm"}},
      {{"C:\\hello\\hello.asm", "C:\\b.asm"}, "C:\\hello\\hello.asm", {"C:\\b.asm", "C:\\hello\\hello.asm"}},
      {{"C:\\Src\\Game.asm", "C:\\b.asm"}, "c:\\src\\game.asm", {"C:\\b.asm", "c:\\src\\game.asm"}},
      {{"C:\\x.asm", "C:\\b.asm", "c:\\X.ASM"}, "C:\\x.asm", {"C:\\b.asm", "C:\\x.asm"}},
      {{"1", "2", "3", "4", "5"}, "6", {"2", "3", "4", "5", "6"}},
  };
  for (const Case& c : cases) {
    List list = c.before;
    AddRecentPath(list, c.path, 5);
    EXPECT_EQ(list, c.after) << c.path;
  }
  // A list read back with duplicates (from an earlier version) keeps the newest of each.
  List stored = {"C:\\hello\\hello.asm", "C:\\b.asm", "C:\\HELLO\\hello.asm"};
  DropDuplicatePaths(stored);
  EXPECT_EQ(stored, (List{"C:\\b.asm", "C:\\HELLO\\hello.asm"}));
}

TEST(RecentLists, MenuItemsAreNewestFirstWithTheirIndexAndAmpersandsDoubled) {
  using Items = std::vector<RecentMenuItem>;
  EXPECT_EQ(RecentMenuItems({"A", "B", "A"}, 10000), (Items{{10002, "A"}, {10001, "B"}, {10000, "A"}}));
  EXPECT_EQ(RecentMenuItems({"C:\\R&D\\a&&b.asm"}, 11000), (Items{{11000, "C:\\R&&D\\a&&&&b.asm"}}));
  EXPECT_TRUE(RecentMenuItems({}, 10000).empty());
}

TEST(RecentLists, FolderToRememberDropsTheFileName) {
  EXPECT_EQ(FolderToRemember("C:\\Work\\game.asm"), "C:\\Work");
  EXPECT_EQ(FolderToRemember("C:\\game.asm"), "C:");
  EXPECT_EQ(FolderToRemember(""), "");
}

}  // namespace recent_lists_test
}  // namespace quillon
