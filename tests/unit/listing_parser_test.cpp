#include "assemble/listing_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quillon {
namespace listing_parser_test {

struct Line {
  std::string text;
  std::string file;
  int line;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& l) {
  return out << "{\"" << l.text << "\", \"" << l.file << "\", " << l.line << "}";
}

struct RecordingSink : OutputSink {
  std::vector<Line> lines;
  void AddLine(const std::string& text, const std::string& file, int line) override {
    lines.push_back({text, file, line});
  }
};

Line Totals(const char* text) { return {text, "", -1}; }

class ListingParser : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("quillon_listing_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".lst"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::vector<Line> Parse(const std::string& content, const ListingPatterns& patterns = {},
                          const std::string& buildFolder = "") {
    std::ofstream(path_, std::ios::binary) << content;
    RecordingSink sink;
    ParseListing(path_, buildFolder, sink, patterns);
    return sink.lines;
  }

  std::string path_;
};

TEST_F(ListingParser, ReportsErrorAndWarningLinesWithZeroBasedLines) {
  struct Case {
    const char* listing;
    std::vector<Line> expected;
  };
  const Case cases[] = {
      {"C:\\src\\game.asm:12: ERROR - some message\n",
       {{"C:\\src\\game.asm:12: ERROR - some message", "C:\\src\\game.asm", 11},
        Totals("Total Errors: 1"),
        Totals("Total Warnings: 0")}},
      {"game.asm:7:WARNING-label x\n",
       {{"game.asm:7:WARNING-label x", "game.asm", 6}, Totals("Total Errors: 0"), Totals("Total Warnings: 1")}},
      // keywords are case-sensitive; digits must follow the colon directly
      {"game.asm:7: error - x\ngame.asm:7: Warning - x\ngame.asm: 7: ERROR - x\n",
       {Totals("Total Errors: 0"), Totals("Total Warnings: 0")}},
      {"game.asm:0: ERROR - x\n",
       {{"game.asm:0: ERROR - x", "game.asm", -1}, Totals("Total Errors: 1"), Totals("Total Warnings: 0")}},
      {"game.asm:99999999999: ERROR - x\n",
       {{"game.asm:99999999999: ERROR - x", "game.asm", -1}, Totals("Total Errors: 1"), Totals("Total Warnings: 0")}},
      // both keywords: counted once, as an error
      {"a.asm:3: WARNING - see a.asm:4: ERROR - x\n",
       {{"a.asm:3: WARNING - see a.asm:4: ERROR - x", "a.asm:3: WARNING - see a.asm", 3},
        Totals("Total Errors: 1"),
        Totals("Total Warnings: 0")}},
      // CR LF and LF; a last line without a line feed is examined
      {"  0001  MVII #1, R0\r\ninc\\a.inc:2: WARNING - w\r\nb.asm:5: ERROR - e\nb.asm:6: ERROR - last",
       {{"inc\\a.inc:2: WARNING - w", "inc\\a.inc", 1},
        {"b.asm:5: ERROR - e", "b.asm", 4},
        {"b.asm:6: ERROR - last", "b.asm", 5},
        Totals("Total Errors: 2"),
        Totals("Total Warnings: 1")}},
      // a last line that ends in a CR without a line feed shows without it
      {"b.asm:6: ERROR - last\r",
       {{"b.asm:6: ERROR - last", "b.asm", 5}, Totals("Total Errors: 1"), Totals("Total Warnings: 0")}},
      {"", {Totals("Total Errors: 0"), Totals("Total Warnings: 0")}},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.listing), c.expected) << c.listing;
}

TEST_F(ListingParser, FileNamesAreJoinedToTheBuildFolder) {
  struct Case {
    const char* folder;
    const char* name;
    const char* file;
  };
  const Case cases[] = {
      {"C:\\Prj", "game.asm", "C:\\Prj\\game.asm"},
      {"C:\\Prj\\", "inc\\a.inc", "C:\\Prj\\inc\\a.inc"},
      {"C:\\Prj", "..\\lib/a.inc", "C:\\Prj\\..\\lib/a.inc"},
      {"C:\\Prj", "D:\\x\\b.asm", "D:\\x\\b.asm"},
      {"C:\\Prj", "\\x\\b.asm", "C:\\x\\b.asm"},
      {"C:\\Prj", "\\\\server\\s\\b.asm", "\\\\server\\s\\b.asm"},
  };
  for (const Case& c : cases) {
    const std::string listing = std::string(c.name) + ":3: ERROR - x\n";
    EXPECT_EQ(Parse(listing, {}, c.folder).front(), (Line{listing.substr(0, listing.size() - 1), c.file, 2}))
        << c.folder << " " << c.name;
  }
}

TEST_F(ListingParser, MissingListingGivesZeroTotals) {
  RecordingSink sink;
  EXPECT_LT(ParseListing(path_ + ".missing", "", sink), 0) << "a listing not read is not a clean build";
  EXPECT_EQ(sink.lines, (std::vector<Line>{Totals("Total Errors: 0"), Totals("Total Warnings: 0")}));
}

TEST_F(ListingParser, PatternThatDoesNotCompileIsReportedInsteadOfTotals) {
  const std::string listing = "a.asm:1: ERROR - x\n";
  ListingPatterns badError;
  badError.error = "(";
  EXPECT_EQ(Parse(listing, badError), (std::vector<Line>{Totals("Unable to create regex for Errors.")}));
  ListingPatterns badWarning;
  badWarning.warning = "[";
  EXPECT_EQ(Parse(listing, badWarning), (std::vector<Line>{Totals("Unable to create regex for Warnings.")}));
}

}  // namespace listing_parser_test
}  // namespace quillon
