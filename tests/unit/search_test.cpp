// Search ranges and regular-expression matching over text as the control holds it (lines
// separated by a lone CR).
#include <gtest/gtest.h>

#include <string>

#include "search/regex_matcher.h"
#include "search/search_range.h"

namespace quillon {
namespace {

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

// One Find Next with a regular expression, as the engine does it.
Found RegexStep(const std::string& text, const std::string& pattern, long selStart, long selEnd, LastMatch last) {
  RegexMatcher matcher;
  EXPECT_TRUE(matcher.Compile(pattern)) << pattern;
  TextSpan span = RegexSearchRange(Selection(text, selStart, selEnd), last, static_cast<long>(text.size()));
  std::string subject = text.substr(0, static_cast<std::size_t>(span.end));
  PrepareForMatching(subject);
  auto result = matcher.Find(subject, static_cast<std::size_t>(span.start));
  EXPECT_NE(result.outcome, RegexMatcher::Outcome::kError) << pattern;
  return {result.outcome == RegexMatcher::Outcome::kFound, static_cast<long>(result.start),
          static_cast<long>(result.end)};
}

const std::string kText = "MVI R0\rMVO R1\rMVII #5";  // lines start at 0, 7 and 14

TEST(SearchRegex, FindsWhatAUserMeansFromTheCaret) {
  struct Case {
    const char* what;
    std::string text;
    const char* pattern;
    long selStart, selEnd;
    Found expected;
  };
  const Case cases[] = {
      {"dot stops at the line end", kText, "MVI.*", 0, 0, {true, 0, 6}},
      {"dollar: only the end of the text", kText, "R1$|#5$", 0, 0, {true, 19, 21}},
      {"\\n matches a break", kText, "R0\\n", 0, 0, {true, 4, 7}},
      {"true position after the caret", kText, "R[0-7]", 5, 5, {true, 11, 13}},
      {"search starts at the selection's end", kText, "MV\\w+", 0, 3, {true, 7, 10}},
      {"a multi-line selection limits the search", kText, "M\\w+", 1, 9, {true, 7, 9}},
      {"nothing after the caret: no wrapping", kText, "MVI ", 1, 1, {false, 0, 0}},
      {"caret is not the start of the text", kText, "^MVO", 7, 7, {false, 0, 0}},
      {"caret is not a word start", "R1R2", "\\bR2", 2, 2, {false, 0, 0}},
      {"look-behind sees before the caret", kText, "(?<=O )R1", 11, 11, {true, 11, 13}},
      {"case matters", kText, "r0", 0, 0, {false, 0, 0}},
      {"CR LF text", "MVI R0\r\nMVO R1", "MVI.*", 0, 0, {true, 0, 6}},
      {"CR LF text, \\R", "MVI R0\r\nMVO R1", "R0\\R", 0, 0, {true, 4, 8}},
      {"empty match at the caret is skipped", kText, "x*", 3, 3, {true, 4, 4}},
  };
  for (const Case& c : cases) {
    Found f = RegexStep(c.text, c.pattern, c.selStart, c.selEnd, {});
    EXPECT_EQ(f.found, c.expected.found) << c.what;
    if (f.found && c.expected.found) {
      EXPECT_EQ(f.start, c.expected.start) << c.what;
      EXPECT_EQ(f.end, c.expected.end) << c.what;
    }
  }
}

TEST(SearchRegex, EveryFindNextMovesForward) {
  struct Case {
    const char* pattern;
    int matches;  // how many distinct matches repeated Find Next visits before "not found"
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
      Found f = RegexStep(kText, c.pattern, selStart, selEnd, last);
      if (!f.found) break;
      ASSERT_TRUE(f.start > selStart || f.end > selEnd) << c.pattern << " stood still at " << f.start;
      selStart = f.start;
      selEnd = f.end;
      last = {true, f.start, f.end};
      ++visited;
    }
    EXPECT_EQ(visited, c.matches) << c.pattern;
  }
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
      {"x = 1\ry = 2", "^(\\w)", "[$1]", 1, "[x] = 1\ry = 2"},
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

}  // namespace
}  // namespace quillon
