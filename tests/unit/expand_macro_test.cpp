#include "macros/expand_macro.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ExpandPlaceholders, RulesOfTheSigns) {
  const PlaceholderValues values{"C:\\t\\cpasm.exe", "C:\\games", "C:\\g\\obj", "C:\\g\\a.asm", "C:\\g\\obj\\a.bin"};
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"%ASM% -o %OUTDIR% %INPUT%", "C:\\t\\cpasm.exe -o C:\\g\\obj C:\\g\\a.asm"},
      {"jzintv \"%OUTPUT%\" %LOCAL%\\x", "jzintv \"C:\\g\\obj\\a.bin\" C:\\games\\x"},
      {"%input% %PATH% %Output%", "%input% %PATH% %Output%"},  // unknown names stay for the interpreter
      {"echo 100% %INPUT%", "echo 100% C:\\g\\a.asm"},         // a lone sign stays and eats nothing
      {"%%LOCAL%", "%%LOCAL%"},                                // "%%" stays
      {"50%% %INPUT%", "50%% C:\\g\\a.asm"},
      {"%LOCAL", "%LOCAL"},
      {"%", "%"},
      {"%PATH%INPUT%", "%PATH%INPUT%"},  // the unknown name uses up its closing sign
      {"%%%INPUT%", "%%C:\\g\\a.asm"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandPlaceholders(c.text, values), c.expected) << c.text;
}

TEST(ExpandPlaceholders, InsertedTextIsNotSearchedAgain) {
  const PlaceholderValues values{"%ASM%", "C:\\%LOCAL%", "%OUTPUT%", "C:\\%INPUT%.asm", "C:\\a%b.bin"};
  EXPECT_EQ(ExpandPlaceholders("%ASM% %LOCAL% %OUTDIR% %INPUT%", values), "%ASM% C:\\%LOCAL% %OUTPUT% C:\\%INPUT%.asm");
  EXPECT_EQ(ExpandPlaceholders("%OUTPUT% %LOCAL%", values), "C:\\a%b.bin C:\\%LOCAL%");
}

TEST(PlaceholdersFor, WithAndWithoutAProject) {
  PlaceholderSources project;
  project.assembler = "C:\\tools\\cpasm.exe";
  project.startDirectory = "C:\\games";
  project.project = true;
  project.paths = {"C:\\games\\demo", "obj", "demo", "obj\\demo.lst", "src\\main.asm"};
  project.document = true;
  project.documentPath = "C:\\elsewhere\\open.asm";  // the active document does not count
  project.documentBaseName = "open";

  PlaceholderSources absolute = project;
  absolute.paths = {"C:\\games\\demo", "D:\\out", "demo", "demo.lst", "C:\\src\\main.asm"};

  PlaceholderSources document;
  document.assembler = "C:\\tools\\cpasm.exe";
  document.startDirectory = "C:\\games";
  document.document = true;
  document.documentPath = "C:\\work\\level.v2.asm";
  document.documentBaseName = "level.v2";

  PlaceholderSources untitled = document;
  untitled.documentPath.clear();
  untitled.documentBaseName.clear();

  PlaceholderSources none;
  none.assembler = "C:\\tools\\cpasm.exe";
  none.startDirectory = "C:\\games";

  const struct {
    const char* name;
    PlaceholderSources sources;
    PlaceholderValues expected;
  } cases[] = {
      {"project",
       project,
       {"C:\\tools\\cpasm.exe", "C:\\games", "C:\\games\\demo\\obj", "C:\\games\\demo\\src\\main.asm",
        "C:\\games\\demo\\obj\\demo.bin"}},
      {"project with absolute paths",
       absolute,
       {"C:\\tools\\cpasm.exe", "C:\\games", "D:\\out", "C:\\src\\main.asm", "D:\\out\\demo.bin"}},
      {"document",
       document,
       {"C:\\tools\\cpasm.exe", "C:\\games", "C:\\work", "C:\\work\\level.v2.asm", "C:\\work\\level.v2.bin"}},
      {"untitled document", untitled, {"C:\\tools\\cpasm.exe", "C:\\games", "", "", ""}},
      {"no document", none, {"C:\\tools\\cpasm.exe", "C:\\games", "", "untitled", ""}},
  };
  for (const auto& c : cases) {
    const PlaceholderValues v = PlaceholdersFor(c.sources);
    EXPECT_EQ(v.assembler, c.expected.assembler) << c.name;
    EXPECT_EQ(v.local, c.expected.local) << c.name;
    EXPECT_EQ(v.outdir, c.expected.outdir) << c.name;
    EXPECT_EQ(v.input, c.expected.input) << c.name;
    EXPECT_EQ(v.output, c.expected.output) << c.name;
  }
}

}  // namespace
}  // namespace quillon
