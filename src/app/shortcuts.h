// The keyboard shortcuts as the user reads them: key names and command names, from the
// accelerator table and the menu.
#pragma once

#include <string>
#include <vector>

namespace quillon {

struct ShortcutKey {
  bool control = false;
  bool shift = false;
  bool alt = false;
  bool virtualKey = true;  // false: `key` is a character
  unsigned key = 0;
};

// "Ctrl+Shift+F4", "Esc", "Ctrl+Break", "F1".
std::string ShortcutKeyText(const ShortcutKey& key);

// A menu item's text without its mnemonic marks and the key shown after its tab:
// "Find &Next\tF3" gives "Find Next"; "&&" stays one "&".
std::string MenuCommandName(const std::string& menuText);

struct ShortcutRow {
  std::string keys;
  std::string command;
};

// One line of the shortcut list: keys, a tab, the command.
std::string ShortcutLine(const ShortcutRow& row);

// The keys of the first table after the heading `heading` in a Markdown text: the first cell
// of each row, without backticks, header and rule rows left out.
std::vector<std::string> MarkdownTableKeys(const std::string& markdown, const std::string& heading);

}  // namespace quillon
