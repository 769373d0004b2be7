#include "base/start_files.h"

#include <gtest/gtest.h>

namespace quillon {
namespace start_files_test {

using Args = std::vector<std::string>;

TEST(StartFiles, CommandLineArguments) {
  const struct {
    const char* line;
    Args arguments;
  } cases[] = {
      {"quillon.exe", {}},
      {"\"C:\\Program Files\\Quillon\\quillon.exe\"  file.asm   other.inc ", {"file.asm", "other.inc"}},
      {"quillon.exe \"C:\\my games\\game.qlp\"", {"C:\\my games\\game.qlp"}},
      {"quillon.exe C:\\a\\b.asm\t\"\"", {"C:\\a\\b.asm", ""}},
      {"quillon.exe say\\\"hi\\\".asm", {"say\"hi\".asm"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineArguments(c.line), c.arguments) << c.line;
}

TEST(StartFiles, AProjectOnTheCommandLineComesBeforeTheLastOne) {
  const struct {
    Args arguments;
    bool reopen;
    StartFiles start;
  } cases[] = {
      {{}, true, {"C:\\last.qlp", {}}},
      {{}, false, {"", {}}},
      {{"file.asm", "other.inc"}, true, {"C:\\last.qlp", {"file.asm", "other.inc"}}},
      {{"game.QLP"}, true, {"game.QLP", {}}},
      {{"a.qlp", "x.asm", "b.qlp"}, false, {"b.qlp", {"x.asm"}}},
      {{"v1.qlp\\notes.txt"}, false, {"", {"v1.qlp\\notes.txt"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(FilesToOpenAtStart(c.arguments, c.reopen, "C:\\last.qlp"), c.start);
}

}  // namespace start_files_test
}  // namespace quillon
