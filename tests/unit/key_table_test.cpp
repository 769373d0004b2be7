// The keys the document takes before its control: a key and its modifiers to a command.
#include "editor/key_table.h"

#include <gtest/gtest.h>

namespace quillon {
namespace key_table_test {

TEST(KeyTable, KeysAndModifiersGiveTheirCommands) {
  constexpr KeyContext none{}, ctrl{true}, shift{false, true}, ctrlShift{true, true}, alt{false, false, true};
  KeyContext lines;
  lines.selectionSpansLines = true;
  KeyContext shiftLines = lines;
  shiftLines.shift = true;
  KeyContext readOnly;
  readOnly.readOnly = true;
  struct Case {
    unsigned key;
    KeyContext context;
    KeyCommand command;
  };
  const Case cases[] = {
      {'Z', ctrl, KeyCommand::kUndo},
      {'Z', ctrlShift, KeyCommand::kRedo},
      {'Y', ctrl, KeyCommand::kRedo},
      {'Y', ctrlShift, KeyCommand::kRedo},
      {'Z', none, KeyCommand::kNone},  // the letter itself
      {'A', ctrl, KeyCommand::kSelectAll},
      {'A', ctrlShift, KeyCommand::kNone},
      {'C', ctrl, KeyCommand::kCopy},
      {'X', ctrl, KeyCommand::kCut},
      {'V', ctrl, KeyCommand::kPaste},
      {'V', ctrlShift, KeyCommand::kNone},
      {keys::kInsert, ctrl, KeyCommand::kCopy},
      {keys::kInsert, shift, KeyCommand::kPaste},
      {keys::kInsert, none, KeyCommand::kNone},  // Insert alone switches overtype, in the control
      {keys::kInsert, ctrlShift, KeyCommand::kNone},
      {keys::kDelete, shift, KeyCommand::kCut},
      {keys::kDelete, none, KeyCommand::kNone},
      {keys::kDelete, ctrlShift, KeyCommand::kNone},
      {'Q', ctrl, KeyCommand::kToggleComments},
      {'Q', ctrlShift, KeyCommand::kToggleComments},
      {keys::kTab, lines, KeyCommand::kIndent},
      {keys::kTab, shiftLines, KeyCommand::kOutdent},
      {keys::kTab, none, KeyCommand::kNone},  // a tab typed inside a line
      {keys::kTab, shift, KeyCommand::kNone},
      {keys::kReturn, none, KeyCommand::kBreakLine},
      {keys::kReturn, shift, KeyCommand::kBreakLine},
      {keys::kReturn, ctrl, KeyCommand::kNone},
      {keys::kReturn, readOnly, KeyCommand::kNone},
      {keys::kPageDown, none, KeyCommand::kPageDown},
      {keys::kPageUp, shift, KeyCommand::kPageUp},  // the selection grows with the page
      {keys::kPageUp, ctrl, KeyCommand::kNone},
      {'C', alt, KeyCommand::kNone},
      {keys::kReturn, alt, KeyCommand::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandForKey(c.key, c.context), c.command) << "key " << c.key;
    EXPECT_TRUE(KeyInTable(c.key)) << "key " << c.key;
  }
  EXPECT_FALSE(KeyInTable('B'));
  EXPECT_FALSE(KeyInTable(0x25)) << "the arrows stay the control's";
  EXPECT_EQ(CharacterOfTakenKey(KeyCommand::kIndent), '\t');
  EXPECT_EQ(CharacterOfTakenKey(KeyCommand::kBreakLine), '\r');
  EXPECT_EQ(CharacterOfTakenKey(KeyCommand::kCopy), 0);
}

}  // namespace key_table_test
}  // namespace quillon
