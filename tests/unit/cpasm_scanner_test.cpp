// The assembler's one scanner: tokens with their places, balanced groups, words and operand
// lists, and what a source gets from every level reading by the same rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpasm/assembler.h"
#include "cpasm/lexer.h"
#include "support/assembly_text.h"

namespace cpasm {
namespace cpasm_scanner_test {

// "kind text@pos" for each token; a number also shows its value.
std::vector<std::string> Tokens(std::string_view text) {
  static const char* const kKinds[] = {"end",      "name", "num",   "badnum", "str",
                                       "unclosed", "open", "close", "comma",  "op"};
  std::vector<std::string> out;
  Scanner scanner(text);
  bool valueNext = true;
  for (Token t = scanner.Next(valueNext); t.kind != Token::kEnd; t = scanner.Next(valueNext)) {
    std::string shown = std::string(kKinds[t.kind]) + " " + std::string(t.text) + "@" + std::to_string(t.pos);
    if (t.kind == Token::kNumber) shown += "=" + std::to_string(t.value);
    EXPECT_EQ(text.substr(t.pos, t.end - t.pos), t.text);
    out.push_back(shown);
    // As the expression reader does: after a value an operator is expected.
    valueNext = !(t.kind == Token::kName || t.kind == Token::kNumber || t.kind == Token::kString ||
                  t.kind == Token::kClose || t.Is('$'));
  }
  return out;
}

TEST(CpasmScanner, TokensWithTheirPlaces) {
  struct Case {
    const char* text;
    std::vector<std::string> tokens;
  } cases[] = {
      {"  x+1", {"name x@2", "op +@3", "num 1@4=1"}},
      // '%' is a binary number where a value goes, the modulo operator after one.
      {"%101 % %10", {"num %101@0=5", "op %@5", "num %10@7=2"}},
      {"x %10", {"name x@0", "op %@2", "num 10@3=10"}},
      {"$ + $1F - 1Fh", {"op $@0", "op +@2", "num $1F@4=31", "op -@8", "num 1Fh@10=31"}},
      {"a<=b<>c<<2||d",
       {"name a@0", "op <=@1", "name b@3", "op <>@4", "name c@6", "op <<@7", "num 2@9=2", "op ||@10", "name d@12"}},
      {"'\\'' \"a, b\"", {"str '\\''@0", "str \"a, b\"@5"}},
      {"\"open, (", {"unclosed \"open, (@0"}},
      {"T[i, 2] (q)",
       {"name T@0", "open [@1", "name i@2", "comma ,@3", "num 2@5=2", "close ]@6", "open (@8", "name q@9",
        "close )@10"}},
      {"@@x.y var_&X 12Z", {"name @@x.y@0", "name var_&X@6", "badnum 12Z@13"}},
      {"#", {"op #@0"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
}

TEST(CpasmScanner, GroupsWordsAndOperandsFollowOneRule) {
  struct Group {
    const char* text;
    size_t open;
    size_t close;  // npos: does not close
  } groups[] = {
      {"(a)", 0, 2},
      {"( \")\" )", 0, 6},  // a bracket in a string is no bracket
      {"([)])", 0, 4},      // the other kind's close ends nothing
      {"x[(1, 2)]", 1, 8},
      {"(\"open", 0, std::string_view::npos},
      {"((a)", 0, std::string_view::npos},
  };
  for (const Group& g : groups) EXPECT_EQ(GroupEnd(g.text, g.open), g.close) << g.text;

  struct Split {
    const char* text;
    std::vector<std::string> words;     // NextToken until nothing is left
    std::vector<std::string> operands;  // SplitOperands
  } splits[] = {
      {"T [1, 2] QSET 5", {"T", "[1, 2]", "QSET", "5"}, {"T [1, 2] QSET 5"}},
      {"S \"a b, c\" , 1", {"S", "\"a b, c\"", ",", "1"}, {"S \"a b, c\"", "1"}},
      {"DECLE \"[\", 1", {"DECLE", "\"[\",", "1"}, {"DECLE \"[\"", "1"}},
      {"f(a, b), [c, d], 'x,'", {"f(a,", "b),", "[c, d],", "'x,'"}, {"f(a, b)", "[c, d]", "'x,'"}},
      {"a), (b, c)", {"a),", "(b,", "c)"}, {"a)", "(b, c)"}},  // a stray ')' closes nothing
      {"a, (b, c", {"a,", "(b,", "c"}, {"a", "(b, c"}},        // nor does an open group split
  };
  for (const Split& s : splits) {
    std::vector<std::string> words;
    std::string_view rest = s.text;
    for (std::string_view w = NextToken(rest); !w.empty(); w = NextToken(rest)) words.emplace_back(w);
    EXPECT_EQ(words, s.words) << s.text;
    std::vector<std::string> operands;
    for (std::string_view o : SplitOperands(s.text)) operands.emplace_back(o);
    EXPECT_EQ(operands, s.operands) << s.text;
  }
}

TEST(CpasmScanner, EveryLevelReadsTheSameTokens) {
  struct Case {
    const char* source;
    std::vector<uint16_t> words;
  } cases[] = {
      // Modulo after a value (a word operator is none), a binary number where one goes.
      {"X EQU 7\n DECLE X %10, %10, 5 MOD %11, (X)%4", {7, 2, 2, 3}},
      // A parenthesised macro's name inside a string is not a call of it.
      {" MACRO twice(v)\n (%v% * 2)\n ENDM\n DECLE twice(3), \"twice(\"", {6, 't', 'w', 'i', 'c', 'e', '('}},
      // "%name%" takes names only: the percent signs of an expression stay.
      {" MACRO m a\n DECLE 9 % %a%, %a% % 4, %%\n ENDM\n m 6", {3, 2, 0}},
      // 'c' is a character's code whatever its escape, "c" a string (an array of one).
      {"Q EQU '\\''\nA EQU 'A'\nS EQU \"A\"\n DECLE Q, A, S, S[0]", {39, 65, 0, 65}},
      // Lists and slices end where their group does.
      {" DECLE (1, 2, 3)[1], (4, 5)[0] + 1, STRLEN(\"(]\")", {2, 5, 2}},
  };
  for (const Case& c : cases) {
    Assembly a = AssembleText("t.asm", std::string("        ORG $5000\n") + c.source + "\n", {});
    EXPECT_EQ(a.errors, 0) << c.source << "\n" << test::Problems(a);
    EXPECT_EQ(test::Words(a), c.words) << c.source;
  }
  // A CFGVAR name in quotes may hold '='.
  Assembly a = AssembleText("t.asm", " CFGVAR \"a=b\" = 1\n CFGVAR plain=2\n", {});
  EXPECT_EQ(a.errors, 0) << test::Problems(a);
  EXPECT_EQ(a.configVars, (std::vector<std::pair<std::string, std::string>>{{"a=b", "1"}, {"plain", "2"}}));
}

}  // namespace cpasm_scanner_test
}  // namespace cpasm
