// The text model's rules: which end of a selection holds the caret, the word at a position.
#include "editor/text_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {
namespace text_model_test {

// Selections in the order the control reports them; the caret after each.
TEST(TextModel, TheCaretIsTheEndAwayFromTheAnchor) {
  struct Step {
    long start, end, caret;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"Shift+Right from 5", {{5, 5, 5}, {5, 6, 6}, {5, 7, 7}}},
      {"Shift+Left from 5", {{5, 5, 5}, {4, 5, 4}, {3, 5, 3}}},
      {"Shift+Left turned over its anchor", {{5, 5, 5}, {5, 7, 7}, {5, 6, 6}, {5, 5, 5}, {4, 5, 4}}},
      {"Shift+Right back over the anchor", {{5, 5, 5}, {3, 5, 3}, {4, 5, 4}, {5, 5, 5}, {5, 6, 6}}},
      {"Shift+Up over the anchor in one step", {{5, 5, 5}, {5, 7, 7}, {2, 5, 2}}},
      {"a drag upward past the anchor's line", {{20, 20, 20}, {12, 20, 12}, {2, 20, 2}}},
      {"select all from the end", {{9, 9, 9}, {0, 9, 0}}},
      {"select all from the start", {{0, 0, 0}, {0, 9, 9}}},
  };
  for (const Case& c : cases) {
    SelectionTrack track;
    for (const Step& s : c.steps) EXPECT_EQ(FollowSelection(track, s.start, s.end), s.caret) << c.what;
  }
}

TEST(TextModel, WordAroundAPosition) {
  const std::string text = "loop:  MVII #$1234, R0 ; count\rB loop";
  struct Case {
    std::size_t position;
    WordSpan word;
  };
  const Case cases[] = {
      {0, {0, 4}},     // at a word's start
      {2, {0, 4}},     // inside it
      {4, {0, 4}},     // just after it (the caret after a word)
      {5, {5, 5}},     // between words: none
      {9, {7, 11}},    // MVII
      {13, {13, 13}},  // "$" separates words
      {14, {14, 18}},  // the digits after it
      {31, {31, 32}},  // "B" at a line's start after "\r"
      {99, {33, 37}},  // past the end: the last word
  };
  for (const Case& c : cases) EXPECT_EQ(WordAround(text, c.position), c.word) << c.position;
}

// Line of a position in a text whose lines are `lengths` long (each break one character).
std::function<int(long)> LinesOf(std::vector<long> lengths) {
  return [lengths](long position) {
    int line = 0;
    for (long start = 0; line + 1 < static_cast<int>(lengths.size()); ++line) {
      start += lengths[line] + 1;
      if (position < start) break;
    }
    return line;
  };
}

TEST(TextModel, LinesToColourAfterAChange) {
  // Before each change the text had lines of 9 characters: line n started at 10 n.
  const std::vector<long> ten(10, 9);
  struct Case {
    const char* what;
    Change change;
    long start, end;
    std::vector<long> linesNow;  // the lengths of the lines after the change
    std::vector<LinesToColour> expected;
  };
  const Case cases[] = {
      {"a letter typed on line 3: only its span",
       {33, 33, 10, true},
       34,
       34,
       {9, 9, 9, 10, 9, 9, 9, 9, 9, 9},
       {{3, 3, 33, 34}}},
      {"Backspace joins line 4 to 3", {40, 40, 10, true}, 39, 39, {9, 9, 9, 18, 9, 9, 9, 9, 9}, {{3, 3, 39, 39}}},
      {"lines 2-5 deleted colour one line, not as many after it",
       {20, 59, 10, true},
       20,
       20,
       {9, 9, 0, 9, 9, 9},
       {{2, 2, 20, 20}}},
      {"Enter in line 3 colours both halves", {35, 35, 10, true}, 36, 36, {9, 9, 9, 5, 4, 9, 9, 9, 9, 9, 9}, {{3, 4}}},
      {"three lines pasted after a selection the document missed",
       {50, 50, 10, false},
       50,
       50,
       std::vector<long>(13, 9),
       {{2, 5}}},
      {"an inexact change keeps the old selection's end", {12, 45, 10, false}, 12, 12, ten, {{1, 4}}},
      {"a coloured paste: only its first and last line", {12, 12, 7, true, true}, 52, 52, ten, {{1, 1}, {5, 5}}},
      {"... its first line came whole", {10, 10, 7, true, true, true}, 52, 52, ten, {{5, 5}}},
      {"... and the line after it too", {10, 10, 7, true, true, true, true}, 50, 50, ten, {}},
      {"... within one line", {12, 12, 10, true, true}, 14, 14, ten, {{1, 1}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseLinesToColour(c.change, c.start, c.end, static_cast<int>(c.linesNow.size()), LinesOf(c.linesNow)),
              c.expected)
        << c.what;
}

TEST(TextModel, ChangeAtTheCaretIsConfirmedByTheTextAroundIt) {
  struct Case {
    const char* what;
    std::string old, now;
    long beforeStart, caret;
    std::optional<Replacement> expected;
  };
  const std::string longLine(200, 'x');
  const Case cases[] = {
      {"a letter typed", "MVII R0", "MVIIx R0", 4, 5, Replacement{4, 0, "x"}},
      {"Backspace", "MVII R0", "MVI R0", 4, 3, Replacement{3, 1, ""}},
      {"Delete (the caret stays)", "MVII R0", "MVI R0", 3, 3, Replacement{3, 1, ""}},
      {"a selection replaced", "MVII R0, R1", "MVII R5, R1", 5, 7, Replacement{5, 2, "R5"}},
      {"a paste far into a long text", longLine + "ab" + longLine, longLine + "aXYb" + longLine, 201, 203,
       Replacement{201, 0, "XY"}},
      {"the text does not agree before the caret", "abcdef", "zbcXdef", 3, 4, std::nullopt},
      {"the text does not agree after it", "abcdef", "abcXdez", 3, 4, std::nullopt},
      {"a caret before the change's start (a drop elsewhere)", "abcdef", "abXcdef", 5, 3, std::nullopt},
      {"the caret past the new text", "abc", "ab", 0, 5, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto range = [&](long from, long to) { return c.now.substr(from, to - from); };
    EXPECT_EQ(ChangeAtCaret(c.old, static_cast<long>(c.now.size()), c.beforeStart, c.caret, range), c.expected)
        << c.what;
  }
}

TEST(TextModel, ChangeBetweenTextsKeepsTheirCommonEnds) {
  struct Case {
    std::string old, now;
    Replacement expected;
  };
  const Case cases[] = {
      {"abc", "abc", {3, 0, ""}},       {"abc", "abXc", {2, 0, "X"}}, {"abXc", "abc", {2, 1, ""}},
      {"", "new", {0, 0, "new"}},       {"old", "", {0, 3, ""}},      {"aaaa", "aaa", {3, 1, ""}},
      {"a\rb", "a\r\rb", {2, 0, "\r"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeBetween(c.old, c.now), c.expected) << c.old << " -> " << c.now;
}

TEST(TextModel, OvertypeTakesTheNextCharacterButNeverALineBreak) {
  struct Case {
    const char* what;
    unsigned long typed;
    bool selectionEmpty;
    std::string next;
    bool takes;
  };
  const Case cases[] = {
      {"a letter over a letter", 'x', true, "a", true},
      {"a blank over a tab", ' ', true, "\t", true},
      {"a byte of the upper half", 0xE9, true, "a", true},
      {"before a line break it inserts", 'x', true, "\r", false},
      {"... and before a lone LF", 'x', true, "\n", false},
      {"at the end it inserts", 'x', true, "", false},
      {"a selection is replaced as in insert mode", 'x', false, "a", false},
      {"Enter inserts", '\r', true, "a", false},
      {"Tab inserts", '\t', true, "a", false},
      {"Backspace is no character", 0x08, true, "a", false},
      {"nor is Ctrl+Backspace", 0x7F, true, "a", false},
  };
  for (const Case& c : cases) EXPECT_EQ(OvertypeTakesNext(c.typed, c.selectionEmpty, c.next), c.takes) << c.what;
}

// Lines as the control counts them: a break belongs to the line it ends, a text that ends with a
// break has an empty last line, a position past the end is on the last line.
TEST(TextModel, LinesStartAfterEachBreak) {
  const struct {
    std::string text;
    std::vector<long> starts;
    std::vector<std::pair<long, int>> lineOf;  // position, its line
  } cases[] = {
      {"", {0}, {{0, 0}, {5, 0}, {-1, -1}}},
      {"abc", {0}, {{0, 0}, {3, 0}, {99, 0}}},
      {"a\rb", {0, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"a\r", {0, 2}, {{1, 0}, {2, 1}}},
      {"\r\r\r", {0, 1, 2, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 3}}},
      {"MVI R0\r\rMVO R1\r", {0, 7, 8, 15}, {{6, 0}, {7, 1}, {8, 2}, {14, 2}, {15, 3}}},
  };
  for (const auto& c : cases) {
    const TextLines lines(c.text);
    ASSERT_EQ(lines.Count(), static_cast<int>(c.starts.size())) << c.text;
    for (std::size_t i = 0; i < c.starts.size(); ++i)
      EXPECT_EQ(lines.StartOf(static_cast<int>(i)), c.starts[i]) << c.text;
    EXPECT_EQ(lines.StartOf(lines.Count()), -1) << c.text;
    EXPECT_EQ(lines.StartOf(-1), -1) << c.text;
    for (const auto& [position, line] : c.lineOf) EXPECT_EQ(lines.LineOf(position), line) << c.text << " @" << position;
  }
}

// The model's lines follow its text through every change of the history, and a history taken
// back from a copy gives that copy's lines, not those last counted.
TEST(TextModel, TheModelsLinesFollowItsText) {
  TextModel model;
  EXPECT_EQ(model.Lines().Count(), 1);
  model.history.Reset("a\rb");
  EXPECT_EQ(model.Lines().Count(), 2);
  ASSERT_TRUE(model.history.Record(1, 0, "\r\r", {1, 1}, EditKind::kOther, 0));
  EXPECT_EQ(model.Lines().Count(), 4);
  EXPECT_EQ(model.Lines().StartOf(3), 4);
  const UndoHistory copy = model.history;
  std::vector<TextEdit> edits;
  TextSelection selection;
  ASSERT_TRUE(model.history.Undo(edits, selection));
  EXPECT_EQ(model.Lines().Count(), 2);
  model.history = copy;
  EXPECT_EQ(model.Lines().Count(), 4);
  ASSERT_TRUE(model.history.Undo(edits, selection));
  ASSERT_TRUE(model.history.Redo(edits, selection));
  EXPECT_EQ(model.Lines().Count(), 4);
  model.history.Reset("x");
  EXPECT_EQ(model.Lines().Count(), 1);
}

}  // namespace text_model_test
}  // namespace quillon

namespace quillon {
namespace text_model_test {

// A lead byte of code page 932 (Shift-JIS).
bool IsLeadOf932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Characters of a Shift-JIS text: a lead byte and the byte after it make one.
long CharactersOf932(const std::string& text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count)
    if (IsLeadOf932(static_cast<unsigned char>(text[i]))) ++i;
  return count;
}

// Under a double-byte code page the control holds fewer characters than bytes: typing after a
// two-byte character keeps the history (which the editing layer dropped and started again at
// every key, so that Undo had nothing to take back), and a control that lost a byte does not fit.
TEST(TextModel, AHistoryOfTwoByteTextFitsTheControlByItsBytes) {
  UndoHistory history;
  std::string control = "; \x82\xA0\x82\xA2 text\r";  // two Hiragana letters in a comment
  history.Reset(control, true);
  ASSERT_LT(CharactersOf932(control), static_cast<long>(control.size()));
  int dropped = 0;
  std::uint64_t now = 0;
  for (char typed : std::string("MVI R0")) {
    // The check before each key, as the editing layer makes it.
    if (!HistoryFitsControl(history, static_cast<long>(control.size()))) {
      history.Reset(control);
      ++dropped;
    }
    const std::size_t at = control.size() - 1;
    control.insert(at, 1, typed);
    ASSERT_TRUE(history.Record(at, 0, std::string(1, typed), {at, at}, EditKind::kTyped, now += 10));
  }
  EXPECT_EQ(dropped, 0);
  EXPECT_EQ(history.Text(), control);
  EXPECT_FALSE(HistoryFitsControl(history, CharactersOf932(control))) << "a character count is not a byte count";
  EXPECT_FALSE(HistoryFitsControl(history, static_cast<long>(control.size()) - 1));
  std::vector<TextEdit> edits;
  TextSelection selection;
  ASSERT_TRUE(history.Undo(edits, selection));
  EXPECT_EQ(history.Text(), "; \x82\xA0\x82\xA2 text\r") << "the typing comes back out";
  EXPECT_TRUE(history.AtSaved());
}

// The control's positions and the history's bytes, both ways, under code page 932. A trail byte
// may look like ASCII ('\\' is the trail of U+30BD): an offset there is inside a character.
TEST(TextModel, ControlPositionsAndBytesConvertUnderADoubleByteCodePage) {
  const std::string text =
      "a\x82\xA0"
      "b\x83\x5C\r";  // a, two-byte, b, two-byte, CR: 5 characters
  struct Case {
    std::size_t byte;
    long character;
    bool exact;
  };
  const Case cases[] = {{0, 0, true},  {1, 1, true}, {2, 1, false}, {3, 2, true}, {4, 3, true},
                        {5, 3, false}, {6, 4, true}, {7, 5, true},  {9, 5, true}};
  for (const Case& c : cases) {
    bool exact = false;
    EXPECT_EQ(CharacterOfByte(text, c.byte, IsLeadOf932, &exact), c.character) << "byte " << c.byte;
    EXPECT_EQ(exact, c.exact) << "byte " << c.byte;
    if (c.exact && c.byte <= text.size()) {
      EXPECT_EQ(ByteOfCharacter(text, c.character, IsLeadOf932), c.byte);
    }
  }
  EXPECT_EQ(ByteOfCharacter(text, 99, IsLeadOf932), text.size());
  // A lead byte at the very end stands alone.
  EXPECT_EQ(CharacterOfByte("x\x82", 2, IsLeadOf932), 2);
  // Without lead bytes both count alike.
  EXPECT_EQ(CharacterOfByte(text, 6, [](unsigned char) { return false; }), 6);

  // A walker asked in rising order, then lower again, answers as each call alone would.
  CharacterWalker walker(text, IsLeadOf932);
  for (std::size_t byte : {0, 2, 2, 3, 5, 7, 9, 1, 6}) {
    bool exact = false, exactAlone = false;
    EXPECT_EQ(walker.CharacterOf(byte, &exact), CharacterOfByte(text, byte, IsLeadOf932, &exactAlone)) << byte;
    EXPECT_EQ(exact, exactAlone) << byte;
  }
}

}  // namespace text_model_test
}  // namespace quillon
