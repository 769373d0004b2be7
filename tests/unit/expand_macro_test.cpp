#include "macros/expand_macro.h"

#include <gtest/gtest.h>

namespace quillon {
namespace expand_macro_test {

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
  const std::string as = "C:\\tools\\cpasm.exe";
  // The active document counts only without a project; its base name may hold dots.
  const auto sources = [&](bool project, ProjectBuildPaths paths, bool document, const std::string& path,
                           const std::string& base) {
    return PlaceholderSources{as, "C:\\games", project, std::move(paths), document, path, base};
  };
  const ProjectBuildPaths relative{"C:\\demo", "obj", "demo", "obj\\demo.lst", "src\\main.asm"};
  const ProjectBuildPaths absolute{"C:\\demo", "D:\\out", "demo", "demo.lst", "C:\\src\\main.asm"};
  const ProjectBuildPaths rom{"C:\\demo", "obj", "demo.rom", "demo.lst", "main.asm"};
  const struct {
    PlaceholderSources sources;
    PlaceholderValues expected;
  } cases[] = {
      {sources(true, relative, true, "C:\\x\\open.asm", "open"),
       {as, "C:\\games", "C:\\demo\\obj", "C:\\demo\\src\\main.asm", "C:\\demo\\obj\\demo.bin"}},
      {sources(true, absolute, false, "", ""), {as, "C:\\games", "D:\\out", "C:\\src\\main.asm", "D:\\out\\demo.bin"}},
      // A .rom output name is the image's whole name, as the build writes it.
      {sources(true, rom, false, "", ""),
       {as, "C:\\games", "C:\\demo\\obj", "C:\\demo\\main.asm", "C:\\demo\\obj\\demo.rom"}},
      {sources(false, {}, true, "C:\\w\\lv.v2.asm", "lv.v2"),
       {as, "C:\\games", "C:\\w", "C:\\w\\lv.v2.asm", "C:\\w\\lv.v2.bin"}},
      {sources(false, {}, true, "", ""), {as, "C:\\games", "", "", ""}},  // untitled
      {sources(false, {}, false, "", ""), {as, "C:\\games", "", "untitled", ""}},
  };
  for (const auto& c : cases) {
    const PlaceholderValues v = PlaceholdersFor(c.sources);
    const std::string all = v.assembler + "|" + v.local + "|" + v.outdir + "|" + v.input + "|" + v.output;
    const PlaceholderValues& e = c.expected;
    EXPECT_EQ(all, e.assembler + "|" + e.local + "|" + e.outdir + "|" + e.input + "|" + e.output);
  }
}

}  // namespace expand_macro_test
}  // namespace quillon
