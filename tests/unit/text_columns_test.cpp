#include "editor/text_columns.h"

#include <gtest/gtest.h>

namespace quillon {
namespace text_columns_test {

TEST(DisplayColumn, TabsMoveToTheNextStop) {
  struct Case {
    const char* before;
    int tabWidth;
    int column;
  };
  const Case cases[] = {
      {"", 8, 1},      {"abc", 8, 4},   {"\t", 8, 9}, {"a\t", 8, 9}, {"abcdefg\t", 8, 9}, {"abcdefgh\t", 8, 17},
      {"\t\t", 8, 17}, {"ab\tc", 4, 6}, {"\t", 1, 2}, {"\t", 0, 9},  {"\t", 99, 9},       {"a\tb\t;", 3, 8},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DisplayColumn(c.before, c.tabWidth), c.column) << '"' << c.before << "\" width " << c.tabWidth;
}

TEST(EditorFace, AMissingFaceFallsBackToTheFirstInstalledMonospaceFace) {
  const InstalledFace wine[] = {{"@Droid Sans Fallback", true}, {"Tahoma", false},          {"Nimbus Mono PS", true},
                                {"liberation mono", true},      {"DejaVu Sans Mono", true}, {"DejaVu Sans", false}};
  const std::vector<InstalledFace> installed(std::begin(wine), std::end(wine));
  struct Case {
    const char* name;
    std::string stored;
    std::vector<InstalledFace> installed;
    std::string face;
  };
  const Case cases[] = {
      {"stored face installed, any case", "tahoma", installed, "Tahoma"},
      {"missing: first of the list, by list order", "Courier New", installed, "DejaVu Sans Mono"},
      {"a proportional face of a listed name is passed over",
       "Courier New",
       {{"Consolas", false}, {"Lucida Console", true}},
       "Lucida Console"},
      {"none of the list: the first fixed-pitch face, never a vertical one",
       "Courier New",
       {{"@Mono", true}, {"Arial", false}, {"Nimbus Mono PS", true}},
       "Nimbus Mono PS"},
      {"no fixed-pitch face at all: the stored name", "Courier New", {{"Arial", false}}, "Courier New"},
      {"nothing installed", "Courier New", {}, "Courier New"},
  };
  for (const Case& c : cases) EXPECT_EQ(EditorFace(c.stored, c.installed), c.face) << c.name;
}

}  // namespace text_columns_test
}  // namespace quillon
