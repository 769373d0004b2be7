#include "editor/file_format.h"

#include <cstddef>

#include "base/text_util.h"

namespace quillon {

namespace {

// Calls `onBreak(style)` for each line break and `onByte(c)` for every other byte.
template <typename OnByte, typename OnBreak>
void ScanLines(const std::string& text, std::size_t from, OnByte onByte, OnBreak onBreak) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      onBreak(LineEnd::kCrLf);
      ++i;
    } else if (c == '\r') {
      onBreak(LineEnd::kCr);
    } else if (c == '\n') {
      onBreak(LineEnd::kLf);
    } else {
      onByte(c);
    }
  }
}

const char* BreakBytes(LineEnd style) {
  switch (style) {
    case LineEnd::kLf:
      return "\n";
    case LineEnd::kCr:
      return "\r";
    case LineEnd::kCrLf:
      break;
  }
  return "\r\n";
}

}  // namespace

std::string TextFromFileBytes(const std::string& bytes, FileFormat& format) {
  format = FileFormat{};
  format.byteOrderMark = bytes.compare(0, 3, kByteOrderMark) == 0;
  std::size_t counts[3] = {0, 0, 0};
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16);
  ScanLines(
      bytes, format.byteOrderMark ? 3 : 0, [&](char c) { text += c; },
      [&](LineEnd style) {
        ++counts[static_cast<int>(style)];
        text += "\r\n";
      });
  // The most frequent style wins; on a tie CR LF before LF before CR.
  int best = 0;
  for (int style = 1; style < 3; ++style)
    if (counts[style] > counts[best]) best = style;
  format.lineEnd = static_cast<LineEnd>(best);
  format.mixedLineEnds = (counts[0] != 0) + (counts[1] != 0) + (counts[2] != 0) > 1;
  return text;
}

std::string FileBytesFromText(const std::string& text, const FileFormat& format) {
  std::string bytes = format.byteOrderMark ? kByteOrderMark : "";
  bytes.reserve(bytes.size() + text.size());
  const char* lineEnd = BreakBytes(format.lineEnd);
  ScanLines(
      text, 0, [&](char c) { bytes += c; }, [&](LineEnd) { bytes += lineEnd; });
  return bytes;
}

const char* LineEndName(const FileFormat& format) {
  if (format.mixedLineEnds) {
    switch (format.lineEnd) {  // what a save writes
      case LineEnd::kLf:
        return "Mixed (LF)";
      case LineEnd::kCr:
        return "Mixed (CR)";
      default:
        return "Mixed (CR LF)";
    }
  }
  return format.lineEnd == LineEnd::kLf ? "LF" : format.lineEnd == LineEnd::kCr ? "CR" : "CR LF";
}

}  // namespace quillon
