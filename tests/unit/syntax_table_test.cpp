#include "base/syntax_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/error_log.h"

namespace quillon {
namespace syntax_table_test {

using Map = std::map<std::string, Colour>;

constexpr Colour kBlue = 0xFF0000;
constexpr Colour kRed = 0x0000FF;

class SyntaxFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::remove(cfg_.c_str());
    std::remove(log_.c_str());
  }
  // Loads `text` as a syntax file; returns the table and leaves the log's lines in logged_.
  Map Load(const std::string& text) {
    { std::ofstream(cfg_, std::ios::binary) << text; }
    return LoadPath(cfg_);
  }
  Map LoadPath(const std::string& path) {
    ErrorLog log([] { return std::string("12/07"); });
    EXPECT_TRUE(log.Open(log_.c_str()));
    SyntaxTable table;
    table.Insert("LEFTOVER", 1);
    LoadSyntaxFile(path, table, log);
    log.Close();
    std::ifstream in(log_, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    logged_ = all.str();
    return Map(table.Keywords().begin(), table.Keywords().end());
  }
  std::string cfg_ = ::testing::TempDir() + "quillon_syntax_test.cfg";
  std::string log_ = ::testing::TempDir() + "quillon_syntax_test.err";
  std::string logged_;
};

TEST_F(SyntaxFileTest, GroupsGiveTheirKeywordsTheirColour) {
  struct Case {
    const char* name;
    std::string text;
    Map expected;
  };
  const Case cases[] = {
      {"one group", "[0 0 255]\n{\nMVI MVO MVII\n}\n", {{"MVI", kBlue}, {"MVO", kBlue}, {"MVII", kBlue}}},
      {"CR LF lines", "[0 0 255]\r\n{\r\nMVI\r\n}\r\n", {{"MVI", kBlue}}},
      {"second colour line before the brace is ignored", "[0 0 255]\n[255 0 0]\n{ MVI }\n}\n", {{"MVI", kBlue}}},
      {"brace on the colour line does not open", "[0 0 255] {\nnot a keyword\n{ MVI\n}\n", {{"MVI", kBlue}}},
      {"first colour wins", "[0 0 255]\n{ MVI\n}\n[255 0 0]\n{ MVI MVO\n}\n", {{"MVI", kBlue}, {"MVO", kRed}}},
      {"one-line group stays open",
       "[0 0 255]\n{ MVI }\n[255 0 0]\n}\n",
       {{"MVI", kBlue}, {"255", kBlue}, {"0", kBlue}}},
      {"closing line counts before the brace", "[0 0 255]\n{\nMVI }  MVO\n", {{"MVI", kBlue}}},
      {"comment words in a group are keywords", "[0 0 255]\n{\n; load R0\n}\n", {{"load", kBlue}, {"R0", kBlue}}},
      {"ranges and at-signs are one keyword",
       "[0 0 255]\n{ R0-R7 @@loop x_1,y\n}\n",
       {{"R0-R7", kBlue}, {"@@loop", kBlue}, {"x_1", kBlue}, {"y", kBlue}}},
      {"last line without a line feed", "[0 0 255]\n{\nMVI\nMVO }", {{"MVI", kBlue}, {"MVO", kBlue}}},
      {"numbers keep their low 8 bits", "[256 300 1]\n{ A\n}\n", {{"A", 0x012C00}}},
      {"a 40-digit number",
       "[1234567890123456789012345678901234567890 0 0]\n{ A\n}\n",
       {{"A", 210}}},  // the number modulo 256
      {"free text and a colour line without a group", "notes here\n[1 2 3]\n", {}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(c.text), c.expected) << c.name;
    EXPECT_EQ(logged_.find("LoadSyntaxFile"), std::string::npos) << c.name;
  }
}

TEST_F(SyntaxFileTest, MissingFileIsLoggedAndLeavesTheTableEmpty) {
  const std::string missing = ::testing::TempDir() + "no_such_folder/syntax.cfg";
  EXPECT_TRUE(LoadPath(missing).empty());
  EXPECT_NE(logged_.find("          LoadSyntaxFile() Error: Unable to open syntax file: " + missing + "\r\n"),
            std::string::npos)
      << logged_;
}

TEST(SyntaxTable, LooksUpExactWordsOnly) {
  SyntaxTable table;
  table.Insert("MVI", kBlue);
  table.Insert("MVI", kRed);
  EXPECT_EQ(table.ColourOf("MVI"), kBlue);
  EXPECT_EQ(table.ColourOf("mvi"), 0u);
  EXPECT_EQ(table.ColourOf("MVIX"), 0u);
  EXPECT_EQ(table.ColourOf(""), 0u);
}

}  // namespace syntax_table_test
}  // namespace quillon
