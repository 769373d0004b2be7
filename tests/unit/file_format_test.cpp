#include "editor/file_format.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace file_format_test {

// Every byte 0x01-0xFF except the two line-end bytes, in lines of 16.
std::string AllBytes(const char* lineEnd) {
  std::string bytes;
  for (int b = 1; b <= 0xFF; ++b) {
    if (b == '\r' || b == '\n') continue;
    bytes += static_cast<char>(b);
    if (b % 16 == 0) bytes += lineEnd;
  }
  return bytes;
}

TEST(FileFormat, UnchangedTextWritesTheBytesItRead) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;  // what the control holds
    LineEnd lineEnd;
    bool mark;
  };
  const Case cases[] = {
      {"crlf", "a\r\nb\r\n", "a\r\nb\r\n", LineEnd::kCrLf, false},
      {"lf", "a\nb\n", "a\r\nb\r\n", LineEnd::kLf, false},
      {"cr", "a\rb\r", "a\r\nb\r\n", LineEnd::kCr, false},
      {"no final break", "a\nb", "a\r\nb", LineEnd::kLf, false},
      {"empty", "", "", LineEnd::kCrLf, false},
      {"only a mark", "\xEF\xBB\xBF", "", LineEnd::kCrLf, true},
      {"mark and multi-byte text", "\xEF\xBB\xBF\xC3\xA9 \xCE\xB1 \xE4\xB8\xAD\n", "\xC3\xA9 \xCE\xB1 \xE4\xB8\xAD\r\n",
       LineEnd::kLf, true},
      {"a second mark is text", "\xEF\xBB\xBF\xEF\xBB\xBFx", "\xEF\xBB\xBFx", LineEnd::kCrLf, true},
      {"half a mark is text", "\xEF\xBBx", "\xEF\xBBx", LineEnd::kCrLf, false},
      {"all bytes, CR LF", AllBytes("\r\n"), AllBytes("\r\n"), LineEnd::kCrLf, false},
      {"all bytes, LF", AllBytes("\n"), AllBytes("\r\n"), LineEnd::kLf, false},
      {"NUL and Ctrl-Z", std::string("a\0b\x1A\r\n", 6), std::string("a\0b\x1A\r\n", 6), LineEnd::kCrLf, false},
  };
  for (const Case& c : cases) {
    FileFormat format;
    const std::string text = TextFromFileBytes(c.bytes, format);
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(format.lineEnd, c.lineEnd) << c.name;
    EXPECT_EQ(format.byteOrderMark, c.mark) << c.name;
    EXPECT_FALSE(format.mixedLineEnds) << c.name;
    EXPECT_EQ(FileBytesFromText(text, format), c.bytes) << c.name;
  }
}

TEST(FileFormat, MixedBreaksKeepEveryLineAndTakeTheMostFrequentStyle) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    std::string saved;
  };
  const Case cases[] = {
      // "\r\r\n" is a lone CR and a CR LF: two breaks, never a joined line.
      {"cr cr lf", "a\r\r\nb\r\n", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
      {"mostly lf", "a\nb\r\nc\nd\r", "a\r\nb\r\nc\r\nd\r\n", "a\nb\nc\nd\n"},
      {"mostly cr", "a\rb\rc\n", "a\r\nb\r\nc\r\n", "a\rb\rc\r"},
      {"lf cr is two breaks, a tie goes to lf", "a\n\rb", "a\r\n\r\nb", "a\n\nb"},
  };
  for (const Case& c : cases) {
    FileFormat format;
    EXPECT_EQ(TextFromFileBytes(c.bytes, format), c.text) << c.name;
    EXPECT_TRUE(format.mixedLineEnds) << c.name;
    EXPECT_EQ(FileBytesFromText(c.text, format), c.saved) << c.name;
  }
}

TEST(FileFormat, TypedBreaksTakeTheFileStyle) {
  FileFormat format;
  TextFromFileBytes("\xEF\xBB\xBFone\ntwo\n", format);
  // The control may hand back lone CRs or LFs for new lines; each is one break.
  EXPECT_EQ(FileBytesFromText("one\r\nnew\rtwo\nend", format), "\xEF\xBB\xBFone\nnew\ntwo\nend");
}

TEST(FileFormat, TheLineEndNameSaysWhatASaveWrites) {
  struct Case {
    LineEnd lineEnd;
    bool mixed;
    const char* name;
  };
  const Case cases[] = {
      {LineEnd::kCrLf, false, "CR LF"},        {LineEnd::kLf, false, "LF"},        {LineEnd::kCr, false, "CR"},
      {LineEnd::kCrLf, true, "Mixed (CR LF)"}, {LineEnd::kLf, true, "Mixed (LF)"}, {LineEnd::kCr, true, "Mixed (CR)"},
  };
  for (const Case& c : cases) {
    FileFormat format;
    format.lineEnd = c.lineEnd;
    format.mixedLineEnds = c.mixed;
    EXPECT_STREQ(LineEndName(format), c.name);
  }
}

}  // namespace file_format_test
}  // namespace quillon
