// Search ranges and regular-expression matching over text as the control holds it (lines
// separated by a lone CR).
#include <gtest/gtest.h>

#include <string>

#include "editor/file_format.h"
#include "search/regex_matcher.h"
#include "search/search_range.h"

namespace quillon {
namespace search_test {

int LineOf(const std::string& text, long position) {
  int line = 0;
  for (long i = 0; i < position && i < static_cast<long>(text.size()); ++i)
    if (text[i] == '\r' && !(i + 1 < static_cast<long>(text.size()) && text[i + 1] == '\n'))
      ++line;
    else if (text[i] == '\n')
      ++line;
  return line;
}

SelectionState Selection(const std::string& text, long start, long end) {
  return {start, end, LineOf(text, start), LineOf(text, end)};
}

struct Found {
  bool found;
  long start;
  long end;
};

struct Step {
  bool found = false;
  long start = 0;
  long end = 0;
  bool wrapped = false;
};

// One Find Next (or Find Previous) with a regular expression, as the engine does it.
Step RegexFind(const std::string& text, const std::string& pattern, long selStart, long selEnd, LastMatch last,
               bool down = true) {
  RegexMatcher matcher;
  EXPECT_TRUE(matcher.Compile(pattern)) << pattern;
  std::string prepared = text;
  PrepareForMatching(prepared);
  RegexStep step = FindFromSelection(matcher, prepared, Selection(text, selStart, selEnd), last, down);
  EXPECT_NE(step.result.outcome, RegexMatcher::Outcome::kError) << pattern;
  return {step.result.outcome == RegexMatcher::Outcome::kFound, static_cast<long>(step.result.start),
          static_cast<long>(step.result.end), step.wrapped};
}

const std::string kText = "MVI R0\rMVO R1\rMVII #5";  // lines start at 0, 7 and 14

TEST(SearchRegex, FindsWhatAUserMeansFromTheCaret) {
  struct Case {
    const char* what;
    std::string text;
    const char* pattern;
    long selStart, selEnd;
    Step expected;
  };
  const Case cases[] = {
      {"dot stops at the line end", kText, "MVI.*", 0, 0, {true, 0, 6}},
      {"dollar: every line end", kText, "R1$|#5$", 0, 0, {true, 11, 13}},
      {"\\n matches a break", kText, "R0\\n", 0, 0, {true, 4, 7}},
      {"true position after the caret", kText, "R[0-7]", 5, 5, {true, 11, 13}},
      {"search starts at the selection's end", kText, "MV\\w+", 0, 3, {true, 7, 10}},
      {"a multi-line selection limits the search", kText, "M\\w+", 1, 9, {true, 7, 9}},
      {"caret at a line start", kText, "^MVO", 0, 0, {true, 7, 10}},
      {"caret is not the start of the text: round to it", kText, "^MVO", 8, 8, {true, 7, 10, true}},
      {"caret is not a word start", "R1R2", "\\bR2", 2, 2, {false, 0, 0}},
      {"look-behind sees before the caret", kText, "(?<=O )R1", 11, 11, {true, 11, 13}},
      {"case matters", kText, "r0", 0, 0, {false, 0, 0}},
      {"CR LF text", "MVI R0\r\nMVO R1", "MVI.*", 0, 0, {true, 0, 6}},
      {"CR LF text, \\R", "MVI R0\r\nMVO R1", "R0\\R", 0, 0, {true, 4, 8}},
      {"empty match at the caret is skipped", kText, "x*", 3, 3, {true, 4, 4}},
      {"a final lone CR after the match", "MVI R0\r", "R0$", 0, 0, {true, 4, 6}},
      {"a final lone CR is a break", "MVI R0\r", "R0\\n", 0, 0, {true, 4, 7}},
      {"a lone CR then the match", "NOP\rMVO R1", "^MVO", 2, 2, {true, 4, 7}},
  };
  for (const Case& c : cases) {
    Step f = RegexFind(c.text, c.pattern, c.selStart, c.selEnd, {});
    EXPECT_EQ(f.found, c.expected.found) << c.what;
    EXPECT_EQ(f.wrapped, c.expected.wrapped) << c.what;
    if (f.found && c.expected.found) {
      EXPECT_EQ(f.start, c.expected.start) << c.what;
      EXPECT_EQ(f.end, c.expected.end) << c.what;
    }
  }
}

TEST(SearchRegex, EveryFindNextMovesForward) {
  struct Case {
    const char* pattern;
    int matches;  // how many distinct matches repeated Find Next visits before it goes round
  };
  const Case cases[] = {
      {"R\\d\\s", 2},  // matches that end on the next line
      {"x*", 21},      // empty matches, one per position after the caret
      {"MV[^;]*", 1},  // runs to the end of the text
      {"\\s", 5},
  };
  for (const Case& c : cases) {
    long selStart = 0, selEnd = 0;
    LastMatch last;
    int visited = 0;
    for (int step = 0; step < 40; ++step) {
      Step f = RegexFind(kText, c.pattern, selStart, selEnd, last);
      ASSERT_TRUE(f.found) << c.pattern;
      if (f.wrapped) break;
      ASSERT_TRUE(f.start > selStart || f.end > selEnd) << c.pattern << " stood still at " << f.start;
      selStart = f.start;
      selEnd = f.end;
      last = {true, f.start, f.end};
      ++visited;
    }
    EXPECT_EQ(visited, c.matches) << c.pattern;
  }
}

TEST(SearchRegex, FindNextGoesRoundAndFindPreviousWalksBack) {
  // "MV\\w*" matches [0,3), [7,10) and [14,18).
  struct Case {
    const char* what;
    long selStart, selEnd;
    LastMatch last;
    bool down;
    Step expected;
  };
  const Case cases[] = {
      {"down from the last match: round to the first", 14, 18, {true, 14, 18}, true, {true, 0, 3, true}},
      {"down from the caret after the last match", 20, 20, {}, true, {true, 0, 3, true}},
      {"up from a caret", 14, 14, {}, false, {true, 7, 10, false}},
      {"up from inside a match: the match it is in", 8, 8, {}, false, {true, 7, 10, false}},
      {"up from the first match: round to the last", 0, 3, {true, 0, 3}, false, {true, 14, 18, true}},
      {"up inside a selection over lines", 1, 16, {}, false, {true, 14, 16, false}},
      {"down inside a selection over lines does not go round", 11, 16, {}, true, {true, 14, 16, false}},
  };
  for (const Case& c : cases) {
    Step f = RegexFind(kText, "MV\\w*", c.selStart, c.selEnd, c.last, c.down);
    EXPECT_EQ(f.found, c.expected.found) << c.what;
    EXPECT_EQ(f.wrapped, c.expected.wrapped) << c.what;
    EXPECT_EQ(f.start, c.expected.start) << c.what;
    EXPECT_EQ(f.end, c.expected.end) << c.what;
  }
  EXPECT_FALSE(RegexFind(kText, "R9", 5, 5, {}).found) << "no match anywhere";
  EXPECT_FALSE(RegexFind(kText, "R9", 5, 5, {}, false).found) << "no match anywhere, up";
  Step inside = RegexFind(kText, "MVI ", 1, 9, {}, true);
  EXPECT_FALSE(inside.found) << "inside a selection nothing after its start";
}

TEST(SearchPlain, RangesForTheControlsFind) {
  const std::string text = kText;  // lines start at 0, 7 and 14
  struct Case {
    const char* what;
    long selStart, selEnd;
    LastMatch last;
    bool down;
    ControlRange expected;
  };
  const Case cases[] = {
      {"down from a caret", 5, 5, {}, true, {5, -1}},
      {"down after a selection in a line", 2, 5, {}, true, {5, -1}},
      {"up from a selection in a line", 2, 5, {}, false, {2, 0}},
      {"down inside a selection over lines", 1, 9, {}, true, {1, 9}},
      {"up inside a selection over lines", 1, 9, {}, false, {9, 1}},
      {"a match over lines found last is not a selection to search in", 4, 9, {true, 4, 9}, true, {9, -1}},
      {"... nor upwards", 4, 9, {true, 4, 9}, false, {4, 0}},
  };
  for (const Case& c : cases) {
    ControlRange r = PlainSearchRange(Selection(text, c.selStart, c.selEnd), c.last, c.down);
    EXPECT_EQ(r.cpMin, c.expected.cpMin) << c.what;
    EXPECT_EQ(r.cpMax, c.expected.cpMax) << c.what;
  }
  EXPECT_EQ(PlainWrapRange(true, 21).cpMin, 0);
  EXPECT_EQ(PlainWrapRange(true, 21).cpMax, -1);
  EXPECT_EQ(PlainWrapRange(false, 21).cpMin, 21);
  EXPECT_EQ(PlainWrapRange(false, 21).cpMax, 0);
}

TEST(SearchDialogs, StartWithTheSelectionOrTheWordAtTheCaret) {
  const std::string line = "PRINT.FLS: MVII #@@loop, R0 ; note";
  struct Case {
    long selStart, selEnd;
    const char* expected;
  };
  const Case cases[] = {
      {3, 3, "PRINT.FLS"},  {0, 0, "PRINT.FLS"}, {9, 9, "PRINT.FLS"}, {18, 18, "@@loop"}, {11, 15, "MVII"},
      {12, 20, "VII #@@l"}, {10, 10, ""},        {34, 34, "note"},    {35, 35, ""},       {99, 99, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InitialFindText(line, c.selStart, c.selEnd), c.expected) << c.selStart << "-" << c.selEnd;
}

TEST(SearchRegex, FailuresAreNotReportedAsNotFound) {
  RegexMatcher matcher;
  EXPECT_FALSE(matcher.Compile("(MVI"));

  // More groups than the old fixed vector had room for.
  std::string pattern, subject(90, 'a');
  for (int i = 0; i < 90; ++i) pattern += "(a)";
  ASSERT_TRUE(matcher.Compile(pattern));
  auto many = matcher.Find(subject, 0);
  EXPECT_EQ(many.outcome, RegexMatcher::Outcome::kFound);
  EXPECT_EQ(many.end, 90u);

  // A pattern that backtracks without end stops at the limit instead of freezing.
  ASSERT_TRUE(matcher.Compile("(a|aa)+$"));
  auto stuck = matcher.Find(std::string(60, 'a') + "!", 0);
  EXPECT_EQ(stuck.outcome, RegexMatcher::Outcome::kError);
  EXPECT_FALSE(RegexMatcher::ErrorText(stuck.error).empty());
}

TEST(SearchReplace, GroupReferencesAndLineBreaks) {
  struct Case {
    std::string text;
    const char* pattern;
    const char* replacement;
    int count;
    std::string expected;
  };
  const Case cases[] = {
      {"MVI R0, 5\rMVI R1, 6", "(R\\d), (\\d)", "$2, $1", 2, "MVI 5, R0\rMVI 6, R1"},
      {"x = 1\ry = 2", "^(\\w)", "[$1]", 2, "[x] = 1\r[y] = 2"},
      {"MVI R0\rMVO R1", "R(\\d)\\n", "S$1 ", 1, "MVI S0 MVO R1"},
      {"nothing here", "R\\d", "x", 0, "nothing here"},
  };
  for (const Case& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Compile(c.pattern));
    std::string subject = c.text, out;
    PrepareForMatching(subject);
    EXPECT_EQ(matcher.ReplaceAll(subject, c.replacement, out), c.count) << c.pattern;
    RestoreLineBreaks(out);
    EXPECT_EQ(out, c.expected) << c.pattern;
  }

  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Compile("(\\w+)=(\\w+)"));
  std::string subject = "a=b c=d", out;
  ASSERT_EQ(matcher.Find(subject, 2).outcome, RegexMatcher::Outcome::kFound);
  EXPECT_EQ(matcher.Expand(subject, "$2=$1", out), 1);
  EXPECT_EQ(out, "d=c");
  EXPECT_LT(matcher.Expand(subject, "$7", out), 0) << "a group the pattern does not have";
}

TEST(SearchReplace, SmallestEditTurnsBeforeIntoAfter) {
  const std::pair<std::string, std::string> cases[] = {
      {"abcdef", "abXdef"}, {"abc", "abc"}, {"", "new"},  {"old", ""},
      {"aaaa", "aa"},       {"ab", "aXXb"}, {"xyz", "y"}, {"R0 R0", "R1 R1"},
  };
  for (const auto& [before, after] : cases) {
    SpanEdit edit = SmallestEdit(before, after);
    ASSERT_LE(edit.start, edit.end);
    ASSERT_LE(edit.end, before.size());
    EXPECT_EQ(before.substr(0, edit.start) + edit.text + before.substr(edit.end), after) << before << " -> " << after;
  }
  EXPECT_EQ(ReplaceRanges("R0 R01 R0", {{0, 2}, {7, 9}}, "R12"), "R12 R01 R12");
}

TEST(SearchReplace, ReplaceAllInASelectionLeavesTheRestAlone) {
  const std::string text = "MVI R0\nMVO R0\nMVII R0\nB R0";  // R0 at 4, 11, 19, 24
  struct Case {
    const char* pattern;
    std::size_t from, to;
    int count;
    const char* expected;
  };
  const Case cases[] = {
      {"R0", 7, 21, 2, "MVI R0\nMVO R5\nMVII R5\nB R0"},
      {"R0", 7, 20, 1, "MVI R0\nMVO R5\nMVII R0\nB R0"},  // a match across the end stays
      {"^M\\w+", 7, 21, 2, "MVI R0\nR5 R0\nR5 R0\nB R0"},
      {"R0$", 0, 99, 4, "MVI R5\nMVO R5\nMVII R5\nB R5"},
      {"R0", 5, 5, 0, "MVI R0\nMVO R0\nMVII R0\nB R0"},
  };
  for (const Case& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Compile(c.pattern));
    std::string out;
    EXPECT_EQ(matcher.ReplaceAllIn(text, c.from, c.to, "R5", out), c.count) << c.pattern << " " << c.from;
    EXPECT_EQ(out, c.expected) << c.pattern << " " << c.from;
  }
}

// What the control keeps of a text put into it: every line break as a lone CR.
std::string AsTheControlKeepsIt(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' ? '\r' : text[i];
  }
  return out;
}

// `text` with `edits` (ascending, apart) made, each as the control takes its text.
std::string Applied(std::string text, const std::vector<SpanEdit>& edits) {
  for (auto e = edits.rbegin(); e != edits.rend(); ++e)
    text.replace(e->start, e->end - e->start, AsTheControlKeepsIt(e->text));
  return text;
}

// Replace All from file bytes to saved bytes: the file loaded into the control, the one edit
// the engine makes put in as the control takes it, and the text saved in the file's own style.
TEST(SearchReplace, RegexReplaceAllChangesOnlyTheMatchesInTheSavedFile) {
  struct Case {
    const char* what;
    std::string file;
    const char* pattern;
    const char* replacement;
    int count;
    std::string saved;
  };
  const Case cases[] = {
      {"blank lines after a match", "MVI@ R4, R0\r\n\r\n\r\nMVI@ R4, R1\r\n\r\nB $\r\n", "MVI@", "mvi@", 2,
       "mvi@ R4, R0\r\n\r\n\r\nmvi@ R4, R1\r\n\r\nB $\r\n"},
      {"blank lines, LF file", "MVI@ R4, R0\n\n\nMVI@ R4, R1\n\nB $\n", "MVI@", "mvi@", 2,
       "mvi@ R4, R0\n\n\nmvi@ R4, R1\n\nB $\n"},
      {"a match at a line's end", "MVO R0, R1\r\n\r\nMVO R2, R1\r\n\r\n", "R1$", "R3", 2,
       "MVO R0, R3\r\n\r\nMVO R2, R3\r\n\r\n"},
      {"a match at the text's end", "\n\nMVI R0\n\nMVI R0", "R0", "R1", 2, "\n\nMVI R1\n\nMVI R1"},
      {"^ at every line, blank ones too", "A\r\n\r\nB\r\n", "^", ";", 3, ";A\r\n;\r\n;B\r\n"},
      {"$ at every line", "A\n\nB\n", "$", ".", 4, "A.\n.\nB.\n."},
      {"an empty line itself", "A\r\n\r\n\r\nB\r\n", "^$\\n", "", 2, "A\r\nB\r\n"},
      {"a match that takes a line break", "A\n\nB\n", "A\\n", "X", 1, "X\nB\n"},
      {"the matched blank lines kept by $0", "A\n\n\nB\n", "\\n+", "$0", 2, "A\n\n\nB\n"},
      {"a line break put in", "A B\n\nC\n", " ", "\n\n", 1, "A\n\nB\n\nC\n"},
      {"no match", "A\r\n\r\n", "Q", "R", 0, "A\r\n\r\n"},
  };
  for (const Case& c : cases) {
    FileFormat format;
    const std::string control = AsTheControlKeepsIt(TextFromFileBytes(c.file, format));
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Compile(c.pattern)) << c.what;
    std::vector<SpanEdit> edits;
    const int count = RegexReplaceAllEdits(matcher, control, 0, control.size(), c.replacement, edits);
    EXPECT_EQ(count, c.count) << c.what;
    EXPECT_EQ(FileBytesFromText(Applied(control, edits), format), c.saved) << c.what;
  }

  // In a selection: the text around it is kept, blank lines included.
  FileFormat format;
  const std::string control = AsTheControlKeepsIt(TextFromFileBytes("R0\n\nR0\n\nR0\n\nR0\n", format));
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Compile("R0"));
  std::vector<SpanEdit> edits;
  EXPECT_EQ(RegexReplaceAllEdits(matcher, control, 4, 10, "R1", edits), 2);
  EXPECT_EQ(FileBytesFromText(Applied(control, edits), format), "R0\n\nR1\n\nR1\n\nR0\n");
}

// Replace All in a large text changes each match where it stands, never a span over the text
// between matches (which the control takes seconds to put in and take out again), and gives
// what the library's own global substitution gives, empty matches included.
TEST(SearchReplace, RegexReplaceAllEditsAreTheMatchesAloneAndAgreeWithTheLibrary) {
  struct Case {
    const char* pattern;
    const char* replacement;
  };
  const Case cases[] = {{"MVI@ (R\\d)", "mvi@ $1"}, {"^", ";"},       {"$", "."},
                        {"\\bR\\d\\b", "[$0]"},     {"x*", "-"},      {"\\n", "\n\n"},
                        {"(?<=B )\\w", "Q"},        {"^\\s*$\\n", ""}};
  std::string control;
  for (int i = 0; i < 400; ++i)
    control += i % 40 == 0 ? "MVI@ R4, R0\r" : i % 7 == 0 ? "\r" : "B x ; comment R1 text\r";
  for (const Case& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Compile(c.pattern)) << c.pattern;
    std::vector<SpanEdit> edits;
    const int count = RegexReplaceAllEdits(matcher, control, 0, control.size(), c.replacement, edits);
    std::string prepared = control, whole;
    PrepareForMatching(prepared);
    EXPECT_EQ(count, matcher.ReplaceAll(prepared, c.replacement, whole)) << c.pattern;
    RestoreLineBreaks(whole);
    EXPECT_EQ(Applied(control, edits), whole) << c.pattern;
    std::size_t previousEnd = 0;
    for (const SpanEdit& e : edits) {
      ASSERT_GE(e.start, previousEnd) << c.pattern << ": ascending, apart";
      ASSERT_LE(e.end, control.size()) << c.pattern;
      EXPECT_NE(control.substr(e.start, e.end - e.start), e.text) << c.pattern << ": an edit changes something";
      previousEnd = e.end;
    }
  }
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Compile("MVI@ (R\\d)"));
  std::vector<SpanEdit> edits;
  ASSERT_EQ(RegexReplaceAllEdits(matcher, control, 0, control.size(), "mvi@ $1", edits), 10);
  ASSERT_EQ(edits.size(), 10u);
  for (const SpanEdit& e : edits) EXPECT_EQ(e.end - e.start, 7u) << "only the match itself";
}

TEST(SearchReplace, ReplaceAllThatGrowsTheTextALotKeepsEveryReplacement) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "MVI R0, " + std::to_string(i) + "\r";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Compile("R0"));
  std::string subject = text, out;
  PrepareForMatching(subject);
  ASSERT_EQ(matcher.ReplaceAll(subject, "REGISTER_NUMBER_ZERO", out), 400);
  RestoreLineBreaks(out);
  EXPECT_EQ(out.size(), text.size() + 400 * 18);
  EXPECT_EQ(out.substr(0, 30), "MVI REGISTER_NUMBER_ZERO, 0\rMV");
  EXPECT_EQ(out.substr(out.size() - 10), "ZERO, 399\r");
  EXPECT_EQ(ReplaceRanges("ab", {{0, 1}, {1, 2}}, std::string(1000, 'x')).size(), 2000u);
}

}  // namespace search_test
}  // namespace quillon
