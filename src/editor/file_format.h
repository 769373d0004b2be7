// How a document's file is laid out on disk, and the conversion between file bytes and the text
// the control holds. The control's text uses CR LF for every line break and never starts with a
// byte-order mark; the file keeps its own mark and line-end style.
#pragma once

#include <string>

namespace quillon {

enum class LineEnd { kCrLf, kLf, kCr };

struct FileFormat {
  bool byteOrderMark = false;        // the file starts with the UTF-8 mark EF BB BF
  LineEnd lineEnd = LineEnd::kCrLf;  // the style written back: the file's most frequent one
  bool mixedLineEnds = false;        // the file used more than one style
};

// The line-end style as the status bar names it: what a save writes, "Mixed (...)" when the file
// used more than one style.
const char* LineEndName(const FileFormat& format);

// The text for the control: the mark removed, every line break (CR LF, lone CR, lone LF) as
// CR LF. Lines are never joined or split: "\r\r\n" is two breaks. Other bytes are kept.
std::string TextFromFileBytes(const std::string& bytes, FileFormat& format);
// The inverse: every line break of `text` in the format's style, the mark put back.
std::string FileBytesFromText(const std::string& text, const FileFormat& format);

}  // namespace quillon
