#include "assemble/assembler_command.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace assembler_command_test {

TEST(AssemblerCommand, ProjectRunQuotesEveryPath) {
  const ProjectBuildPaths project{"C:\\work\\game", ".\\obj", "game", ".\\obj\\game.lst", "C:\\work\\game\\game.asm"};
  struct Case {
    const char* assembler;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\tools\\as1600.exe",
       "\"C:\\tools\\as1600.exe\" -o \".\\obj\\game.bin\" -l \".\\obj\\game.lst\" \"C:\\work\\game\\game.asm\""},
      {"C:\\Program Files\\as1600.exe",
       "\"C:\\Program Files\\as1600.exe\" -o \".\\obj\\game.bin\" -l \".\\obj\\game.lst\" "
       "\"C:\\work\\game\\game.asm\""},
      {"\"C:\\Program Files\\as1600.exe\"",
       "\"C:\\Program Files\\as1600.exe\" -o \".\\obj\\game.bin\" -l \".\\obj\\game.lst\" "
       "\"C:\\work\\game\\game.asm\""},
  };
  for (const Case& c : cases) {
    AssemblerRun run = ComposeProjectRun(c.assembler, project);
    EXPECT_EQ(run.commandLine, c.expected);
    EXPECT_EQ(run.directory, "C:\\work\\game");
    EXPECT_EQ(run.listingPath, ".\\obj\\game.lst");
  }
}

// Include folders go to the assembler as -i, a relative one taken in the project's folder (the
// build runs there, and AS1600 and the bundled assembler both read -i); a .rom name is whole.
TEST(AssemblerCommand, ProjectRunPassesIncludeFoldersAndRomNames) {
  ProjectBuildPaths project{"C:\\work\\game", "obj", "game.ROM", "obj\\game.lst", "game.asm"};
  const std::vector<std::string> folders = {"..\\library", "D:\\shared lib", "\\kit"};
  EXPECT_EQ(ComposeProjectRun("as1600.exe", project, folders).commandLine,
            "\"as1600.exe\" -o \"obj\\game.ROM\" -l \"obj\\game.lst\" -i \"C:\\work\\game\\..\\library\" -i "
            "\"D:\\shared lib\" -i \"C:\\kit\" \"game.asm\"");
  project.outputName = "game.rom.v2";
  EXPECT_EQ(ComposeProjectRun("as1600.exe", project).commandLine,
            "\"as1600.exe\" -o \"obj\\game.rom.v2.bin\" -l \"obj\\game.lst\" \"game.asm\"");
}

TEST(AssemblerCommand, DocumentRunWritesBesideTheDocument) {
  AssemblerRun run = ComposeDocumentRun("C:\\Program Files\\as1600.exe", "C:\\src\\demo.asm", "demo");
  EXPECT_EQ(run.commandLine, "\"C:\\Program Files\\as1600.exe\" -o \"demo.bin\" -l \"demo.lst\" \"C:\\src\\demo.asm\"");
  EXPECT_EQ(run.directory, "C:\\src");
  EXPECT_EQ(run.listingPath, "demo.lst");
}

TEST(AssemblerCommand, LongLinesAreKeptWhole) {
  const std::string deep = "C:\\" + std::string(300, 'd');
  const ProjectBuildPaths project{deep, deep + "\\obj", "game", deep + "\\game.lst", deep + "\\game.asm"};
  AssemblerRun run = ComposeProjectRun("as1600.exe", project);
  const std::string expected =
      "\"as1600.exe\" -o \"" + deep + "\\obj\\game.bin\" -l \"" + deep + "\\game.lst\" \"" + deep + "\\game.asm\"";
  EXPECT_EQ(run.commandLine, expected);
  EXPECT_GT(run.commandLine.size(), 900u);
}

// Where the build looks for the assembler and the listing, whatever the current folder is.
TEST(AssemblerCommand, PathsAreTakenInTheBuildFolder) {
  const struct {
    const char* folder;
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\work\\game", ".\\obj\\game.lst", "C:\\work\\game\\.\\obj\\game.lst"},
      {"C:\\work\\game", "game.lst", "C:\\work\\game\\game.lst"},
      {"C:\\", "game.lst", "C:\\game.lst"},
      {"C:\\work\\game", "D:\\out\\game.lst", "D:\\out\\game.lst"},
      {"C:\\work\\game", "\\out\\game.lst", "C:\\out\\game.lst"},
      {"\\\\server\\share\\game", "\\\\other\\x.lst", "\\\\other\\x.lst"},
      {"C:\\work\\game", "tools/as1600.exe", "C:\\work\\game\\tools/as1600.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(PathInFolder(c.folder, c.path), c.expected) << c.folder << " + " << c.path;

  EXPECT_EQ(ProgramOf("\"C:\\Program Files\\as1600.exe\""), "C:\\Program Files\\as1600.exe");
  EXPECT_EQ(ProgramOf("C:\\as1600.exe"), "C:\\as1600.exe");
  EXPECT_FALSE(HasFolderPart("as1600.exe"));
  EXPECT_TRUE(HasFolderPart("bin\\as1600.exe"));
}

}  // namespace assembler_command_test
}  // namespace quillon
