#include "app/shortcuts.h"

#include <gtest/gtest.h>

namespace quillon {
namespace shortcuts_test {

TEST(Shortcuts, KeyTextNamesModifiersInOrderAndEveryKeyTheTableUses) {
  struct Case {
    ShortcutKey key;
    const char* expected;
  };
  const Case cases[] = {
      {{false, false, false, true, 0x70}, "F1"},
      {{false, true, false, true, 0x73}, "Shift+F4"},
      {{true, true, false, true, 0x5A}, "Ctrl+Shift+Z"},
      {{true, false, true, true, 0x47}, "Ctrl+Alt+G"},
      {{true, false, false, true, 0x03}, "Ctrl+Break"},
      {{false, false, false, true, 0x1B}, "Esc"},
      {{false, false, false, true, 0x87}, "F24"},
      {{true, false, false, true, 0x7B}, "Ctrl+F12"},
      {{false, false, false, true, 0x09}, "Tab"},
      {{true, false, false, true, 0xBF}, "Ctrl+/"},
      {{false, false, false, false, 'q'}, "q"},
      {{false, false, false, true, 0xFF}, "Key FF"},  // never an empty name
  };
  for (const Case& c : cases) EXPECT_EQ(ShortcutKeyText(c.key), c.expected);
}

TEST(Shortcuts, MenuCommandNameDropsMarksKeysAndEllipsis) {
  const char* cases[][2] = {
      {"Find &Next\tF3", "Find Next"},   {"&Open...\tCtrl+O", "Open"},
      {"Save Al&l\tCtrl+L", "Save All"}, {"Search && &Replace", "Search & Replace"},
      {"&User Guide\tF1", "User Guide"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MenuCommandName(c[0]), c[1]) << c[0];
}

TEST(Shortcuts, MarkdownTableKeysReadsOnlyTheTableUnderItsHeading) {
  const std::string guide =
      "# Guide\n"
      "| Keys | Other table |\n|---|---|\n| X | not this one |\n"
      "## Keyboard shortcuts\r\n"
      "Some words.\r\n"
      "\r\n"
      "| Keys | Command |\r\n"
      "| :--- | --- |\r\n"
      "| `Ctrl+N` | New |\r\n"
      "|F7|Build|\r\n"
      "| Ctrl+Break | Stop Build |\r\n"
      "\r\n"
      "| Z | a later table |\n"
      "## Projects\n| Y | z |\n";
  EXPECT_EQ(MarkdownTableKeys(guide, "Keyboard shortcuts"), (std::vector<std::string>{"Ctrl+N", "F7", "Ctrl+Break"}));
  EXPECT_TRUE(MarkdownTableKeys(guide, "Missing").empty());
  EXPECT_TRUE(MarkdownTableKeys("## Keyboard shortcuts\n## Next\n| A | b |\n", "Keyboard shortcuts").empty());
}

}  // namespace shortcuts_test
}  // namespace quillon
