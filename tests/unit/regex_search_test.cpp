#include "base/regex_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace regex_search_test {

using Strings = std::vector<std::string>;

TEST(RegexSearch, CollectsGroupsOfTheFirstOrEveryMatch) {
  struct Case {
    const char* pattern;
    const char* subject;
    int global;
    Strings expected;
  };
  const Case cases[] = {
      {"\\[(\\d+)\\s+(\\d+)\\s+(\\d+)\\]", "[255 0 128]", 0, {"255", "0", "128"}},
      {"([\\d\\w\\_\\@\\-]+)", "MVII R0, label_1", 1, {"MVII", "R0", "label_1"}},
      {"([\\d\\w\\_\\@\\-]+)", "MVII R0, label_1", 0, {"MVII"}},
      {"\\[([\\w\\s]+)\\]", "C:\\games [old]\\main.asm", 0, {"old"}},
      {"\\[([\\w\\s]+)\\]", "[x-y] [ok]", 0, {"ok"}},
      {"\\[([\\w\\s]+)\\]", "[]", 0, {}},
      {"MVII", "MVII R0", 0, {}},  // no groups: nothing collected
      {"MVII", "MVII MVII", 1, {}},
      {"(a)|(b)", "b", 0, {"", "b"}},  // a group that did not take part is empty
      {"(x)?y", "y", 0, {}},           // unset trailing group is not reported
      {"(a*)", "baac", 1, {"", "aa", "", ""}},
      {"(\\d*)", "", 1, {""}},
      {"^(.+):(\\d+):\\s*ERROR\\s*\\-", "C:\\src\\game.asm:12: ERROR - msg", 0, {"C:\\src\\game.asm", "12"}},
  };
  for (const Case& c : cases) {
    Pattern p = CompilePattern(c.pattern);
    ASSERT_TRUE(p) << c.pattern;
    Strings captures = {"left over"};
    int n = RegexSearch(c.subject, p.get(), captures, c.global);
    EXPECT_EQ(n, static_cast<int>(c.expected.size())) << c.pattern << " on " << c.subject;
    EXPECT_EQ(captures, c.expected) << c.pattern << " on " << c.subject;
  }
}

TEST(RegexSearch, EmptyMatchesInGlobalModeEnd) {
  // Every position matches empty; the retry as non-empty takes the letters.
  Pattern p = CompilePattern("(b*)");
  Strings captures;
  EXPECT_EQ(RegexSearch("abba", p.get(), captures, 1), 4);
  EXPECT_EQ(captures, (Strings{"", "bb", "", ""}));
}

TEST(RegexSearch, LongCapturesAreCutAndInvalidPatternsDoNotCompile) {
  Pattern p = CompilePattern("(.*)");
  std::string line(400, 'x');
  Strings captures;
  ASSERT_EQ(RegexSearch(line.c_str(), p.get(), captures, 0), 1);
  EXPECT_EQ(captures[0].size(), kMaxCaptureLength);
  EXPECT_FALSE(CompilePattern("([unclosed"));
  EXPECT_EQ(RegexSearch("x", nullptr, captures, 0), 0);
  EXPECT_TRUE(captures.empty());
}

TEST(RegexSearch, MoreGroupsThanTheVectorHoldsGivesTheFirst84) {
  std::string pattern, subject;
  for (int i = 0; i < 90; ++i) {
    pattern += "(.)";
    subject += static_cast<char>('!' + i);
  }
  Pattern p = CompilePattern(pattern.c_str());
  ASSERT_TRUE(p);
  Strings captures;
  EXPECT_EQ(RegexSearch(subject.c_str(), p.get(), captures, 0), kMaxCaptureGroups);
  EXPECT_EQ(captures.back(), std::string(1, static_cast<char>('!' + 83)));
}

}  // namespace regex_search_test
}  // namespace quillon
