#include "app/shortcuts.h"

#include <cstdio>

#include "base/text_util.h"

namespace quillon {

namespace {

// Virtual-key codes with a name of their own.
struct KeyName {
  unsigned code;
  const char* name;
};
constexpr KeyName kKeyNames[] = {
    {0x03, "Break"}, {0x08, "Backspace"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x13, "Pause"}, {0x1B, "Esc"},
    {0x20, "Space"}, {0x21, "PgUp"},      {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"},
    {0x26, "Up"},    {0x27, "Right"},     {0x28, "Down"}, {0x2D, "Ins"},   {0x2E, "Del"},   {0x6B, "Num +"},
    {0x6D, "Num -"}, {0xBB, "="},         {0xBC, ","},    {0xBD, "-"},     {0xBE, "."},     {0xBF, "/"},
    {0xBA, ";"},     {0xC0, "`"},         {0xDB, "["},    {0xDC, "\\"},    {0xDD, "]"},     {0xDE, "'"},
};

std::string KeyText(const ShortcutKey& key) {
  if (!key.virtualKey) return std::string(1, static_cast<char>(key.key));
  if ((key.key >= '0' && key.key <= '9') || (key.key >= 'A' && key.key <= 'Z'))
    return std::string(1, static_cast<char>(key.key));
  if (key.key >= 0x70 && key.key <= 0x87) return "F" + std::to_string(key.key - 0x70 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.code == key.key) return k.name;
  char text[16];
  std::snprintf(text, sizeof text, "Key %02X", key.key & 0xFFu);
  return text;
}

}  // namespace

std::string ShortcutKeyText(const ShortcutKey& key) {
  std::string text;
  if (key.control) text += "Ctrl+";
  if (key.shift) text += "Shift+";
  if (key.alt) text += "Alt+";
  return text + KeyText(key);
}

std::string MenuCommandName(const std::string& menuText) {
  std::string name;
  for (std::size_t i = 0; i < menuText.size() && menuText[i] != '\t'; ++i) {
    if (menuText[i] == '&') {
      if (i + 1 < menuText.size() && menuText[i + 1] == '&') name += menuText[++i];
      continue;
    }
    name += menuText[i];
  }
  // "Open..." names the command "Open".
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

std::string ShortcutLine(const ShortcutRow& row) { return row.keys + "\t" + row.command; }

std::vector<std::string> MarkdownTableKeys(const std::string& markdown, const std::string& heading) {
  std::vector<std::string> keys;
  bool inSection = false;
  bool inTable = false;
  bool headerSeen = false;
  std::size_t start = 0;
  while (start <= markdown.size()) {
    std::size_t end = markdown.find('\n', start);
    if (end == std::string::npos) end = markdown.size();
    const std::string line = Trim(markdown.substr(start, end - start));
    start = end + 1;
    if (!inSection) {
      inSection = line.size() > 1 && line[0] == '#' && Trim(line.substr(line.find_first_not_of('#'))) == heading;
      continue;
    }
    if (line.empty() || line[0] != '|') {
      if (inTable) break;  // the first table ends
      if (!line.empty() && line[0] == '#') break;
      continue;
    }
    inTable = true;
    const std::size_t close = line.find('|', 1);
    std::string cell = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    if (!headerSeen) {  // the header row
      headerSeen = true;
      continue;
    }
    if (cell.find_first_not_of("-: ") == std::string::npos) continue;  // the rule under the header
    std::string bare;
    for (char c : cell)
      if (c != '`') bare += c;
    keys.push_back(bare);
  }
  return keys;
}

}  // namespace quillon
