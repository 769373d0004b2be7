#include "macros/expand_macro.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(ExpandMacro, Placeholders) {
  const struct {
    const char* text;
    const char* local;
    const char* document;
    const char* expected;
  } cases[] = {
      {"%LOCAL%\\x", "C:\\games", "", "C:\\games\\x"},
      {"as %INPUT% -o %OUTPUT%.bin", "", "C:\\a.asm", "as C:\\a.asm -o C:\\a.asm.bin"},
      {"%INPUT%", "", "untitled", "untitled"},
      {"[%INPUT%]", "", "", "[]"},
      {"%ASM% %OUTDIR% %input% 50%", "L", "D", "%ASM% %OUTDIR% %input% 50%"},
      {"echo 100% %INPUT%", "", "D", "echo 100% %INPUT%"},  // a stray sign pairs with the next
      {"%%LOCAL%", "L", "", "%%LOCAL%"},
      {"%LOCAL", "L", "", "%LOCAL"},
      // Inserted text is not searched again, so these end and insert once.
      {"%INPUT%", "", "C:\\%INPUT%.asm", "C:\\%INPUT%.asm"},
      {"%LOCAL%\\%LOCAL%", "C:\\%LOCAL%", "", "C:\\%LOCAL%\\C:\\%LOCAL%"},
      {"%LOCAL% %OUTPUT%", "C:\\%OUTPUT%", "C:\\%LOCAL%", "C:\\%OUTPUT% C:\\%LOCAL%"},
      // A sign inside the path does not pair with the user's text.
      {"%INPUT% %LOCAL%", "L", "C:\\a%b.asm", "C:\\a%b.asm L"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandMacro(c.text, c.local, c.document), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace quillon
