#include "editor/key_table.h"

namespace quillon {

namespace {

enum class Need { kAny, kDown, kUp };  // a modifier held, not held, or either

struct KeyRow {
  unsigned key;
  Need control, shift;
  KeyCommand command;
  bool needsLines = false;  // only when the selection spans lines
  bool needsWritable = false;
};

bool Meets(Need need, bool down) { return need == Need::kAny || (need == Need::kDown) == down; }

// The first row that fits wins. Alt with any key leaves it to the control (menus).
constexpr KeyRow kRows[] = {
    {keys::kPageUp, Need::kUp, Need::kAny, KeyCommand::kPageUp},
    {keys::kPageDown, Need::kUp, Need::kAny, KeyCommand::kPageDown},
    {'Z', Need::kDown, Need::kDown, KeyCommand::kRedo},
    {'Z', Need::kDown, Need::kUp, KeyCommand::kUndo},
    {'Y', Need::kDown, Need::kAny, KeyCommand::kRedo},
    // The control's own Ctrl+A takes the end of the text too, so that a copy of it ends in one
    // line break more, and its own Ctrl+V would paste another program's fonts and colours.
    {'A', Need::kDown, Need::kUp, KeyCommand::kSelectAll},
    {'C', Need::kDown, Need::kUp, KeyCommand::kCopy},
    {'X', Need::kDown, Need::kUp, KeyCommand::kCut},
    {'V', Need::kDown, Need::kUp, KeyCommand::kPaste},
    // The clipboard keys of old, which not every control takes.
    {keys::kInsert, Need::kDown, Need::kUp, KeyCommand::kCopy},
    {keys::kInsert, Need::kUp, Need::kDown, KeyCommand::kPaste},
    {keys::kDelete, Need::kUp, Need::kDown, KeyCommand::kCut},
    {'Q', Need::kDown, Need::kAny, KeyCommand::kToggleComments},
    {keys::kTab, Need::kUp, Need::kDown, KeyCommand::kOutdent, true},
    {keys::kTab, Need::kUp, Need::kUp, KeyCommand::kIndent, true},
    {keys::kReturn, Need::kUp, Need::kAny, KeyCommand::kBreakLine, false, true},
};

}  // namespace

bool KeyInTable(unsigned key) {
  for (const KeyRow& row : kRows)
    if (row.key == key) return true;
  return false;
}

KeyCommand CommandForKey(unsigned key, const KeyContext& context) {
  if (context.alt) return KeyCommand::kNone;
  for (const KeyRow& row : kRows) {
    if (row.key != key || !Meets(row.control, context.control) || !Meets(row.shift, context.shift)) continue;
    if ((row.needsLines && !context.selectionSpansLines) || (row.needsWritable && context.readOnly)) continue;
    return row.command;
  }
  return KeyCommand::kNone;
}

char CharacterOfTakenKey(KeyCommand command) {
  switch (command) {
    case KeyCommand::kIndent:
    case KeyCommand::kOutdent:
      return '\t';
    case KeyCommand::kBreakLine:
      return '\r';
    default:
      return 0;
  }
}

}  // namespace quillon
