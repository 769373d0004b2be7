// The keys the document's text takes before its control does, as a table from a key and its
// modifiers to an editing command (no windows). Keys are the platform's virtual-key codes.
#pragma once

namespace quillon {

enum class KeyCommand {
  kNone,    // the control has the key
  kPageUp,  // the caret a window's height of lines up, and the view with it
  kPageDown,
  kUndo,
  kRedo,
  kSelectAll,  // the clipboard keys go the way of the Edit menu
  kCopy,
  kCut,
  kPaste,
  kToggleComments,  // of the selected lines
  kIndent,          // the selected lines, when the selection spans lines
  kOutdent,
  kBreakLine,  // Enter: a line break and the blanks that start the line it breaks
};

// Virtual-key codes of the keys in the table.
namespace keys {
inline constexpr unsigned kTab = 0x09, kReturn = 0x0D, kPageUp = 0x21, kPageDown = 0x22, kInsert = 0x2D, kDelete = 0x2E;
}

struct KeyContext {
  bool control = false, shift = false, alt = false;
  bool selectionSpansLines = false;
  bool readOnly = false;
};

// Whether the table holds `key` at all: asking for the modifiers costs a trip to the server under
// Wine, so it is done only for these keys.
bool KeyInTable(unsigned key);
// The command for `key` in `context`; kNone when the control keeps the key.
KeyCommand CommandForKey(unsigned key, const KeyContext& context);
// The character the control's WM_CHAR of a taken key brings, which the document then drops
// (Tab, Enter); 0 for none.
char CharacterOfTakenKey(KeyCommand command);

}  // namespace quillon
