// Inputs at and past the 259 characters a path buffer holds: each is kept whole (or, where a
// window shows it, refused with a message; see the GUI tests), never cut to another name.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assemble/listing_parser.h"
#include "base/error_log.h"
#include "base/regex_search.h"
#include "base/syntax_table.h"
#include "project/project.h"
#include "support/memory_platform.h"

namespace quillon {
namespace long_input_test {

constexpr std::size_t kLengths[] = {259, 260, 261, 4000};

// A Windows path of exactly `length` characters.
std::string PathOfLength(std::size_t length, const std::string& extension = ".asm") {
  std::string path = "C:\\";
  while (path.size() + extension.size() < length) path += (path.size() % 50 == 0) ? '\\' : 'p';
  return path + extension;
}

struct RecordingSink : OutputSink {
  std::vector<std::string> files;
  void AddLine(const std::string&, const std::string& file, int) override { files.push_back(file); }
};

TEST(LongInput, ListingFileNamesAreJumpTargetsWhole) {
  for (std::size_t length : kLengths) {
    const std::string file = PathOfLength(length);
    std::istringstream listing(file + ":3: ERROR - x\r\n" + file + ":4: WARNING - y\r\n");
    RecordingSink sink;
    ParseListingText(listing, "", sink);
    ASSERT_EQ(sink.files.size(), 4u) << length;
    EXPECT_EQ(sink.files[0], file) << length;
    EXPECT_EQ(sink.files[1], file) << length;
  }
}

TEST(LongInput, CapturesAreCutOnlyWhereTheCallerAsksForTheLimit) {
  Pattern p = CompilePattern("^(.*)$");
  std::vector<std::string> captures;
  for (std::size_t length : kLengths) {
    const std::string subject(length, 'x');
    ASSERT_EQ(RegexSearch(subject.c_str(), p.get(), captures, 0, kWholeCaptures), 1);
    EXPECT_EQ(captures[0].size(), length);
    ASSERT_EQ(RegexSearch(subject.c_str(), p.get(), captures, 0), 1);
    EXPECT_EQ(captures[0].size(), std::min(length, kMaxCaptureLength));
  }
}

TEST(LongInput, SyntaxFileKeywordsAreKeptWhole) {
  const std::string path = ::testing::TempDir() + "quillon_long_keywords.cfg";
  for (std::size_t length : kLengths) {
    const std::string word(length, 'K');
    std::ofstream(path, std::ios::binary) << "[1 2 3]\r\n{\r\n" << word << " MVII\r\n}\r\n";
    SyntaxTable table;
    LoadSyntaxFile(path, table, Log());
    EXPECT_EQ(table.ColourOf(word), 0x030201u) << length;
    EXPECT_EQ(table.ColourOf(word.substr(0, 259)), length == 259 ? 0x030201u : 0u) << length;
  }
  std::remove(path.c_str());
}

TEST(LongInput, ProjectValuesReadBackWholeAfterASave) {
  for (std::size_t length : kLengths) {
    MemoryPlatform platform;
    Settings settings;
    const std::string source = PathOfLength(length);
    const std::string include = PathOfLength(length, ".inc");
    const std::string listing = PathOfLength(length, ".lst");
    const std::string other = PathOfLength(length, ".txt");
    const std::string name(length, 'n');
    const std::string outputName(length, 'o');
    const std::string outputPath = PathOfLength(length, "");
    platform.Write("C:\\prj\\long.qlp", "[project name]\r\n" + name + "\r\n[output path]\r\n" + outputPath +
                                            "\r\n[output name]\r\n" + outputName + "\r\n[source]\r\n" + source +
                                            "\r\n[include]\r\n" + include + "\r\n[listing]\r\n" + listing +
                                            "\r\n[other]\r\n" + other + "\r\n");
    Project first(platform, settings);
    ASSERT_TRUE(first.LoadProject("C:\\prj\\long.qlp")) << length;
    first.settingsChanged = true;  // written in the writer's layout
    ASSERT_EQ(first.SaveProject(), SaveResult::kSaved) << length;

    Project again(platform, settings);
    ASSERT_TRUE(again.LoadProject("C:\\prj\\long.qlp")) << length;
    EXPECT_EQ(again.projectName, name) << length;
    EXPECT_EQ(again.outputPath, outputPath) << length;
    EXPECT_EQ(again.outputName, outputName) << length;
    EXPECT_EQ(again.mainSource, source) << length;
    EXPECT_EQ(again.listingPath, listing) << length;
    EXPECT_EQ(GroupPaths(again, ProjectGroup::kInclude), include) << length;
    EXPECT_EQ(GroupPaths(again, ProjectGroup::kOther), other) << length;
    // Only the tree's display text is held to a path buffer; the entry keeps the whole name.
    EXPECT_LE(again.Root().text.size(), kPathBufferSize - 1) << length;
  }
}

}  // namespace long_input_test
}  // namespace quillon
