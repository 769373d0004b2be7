// Small text and path helpers shared by every subsystem (no platform calls).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <istream>
#include <string>

namespace quillon {

// Size of the fixed path buffers used throughout the program: 259 characters and a NUL.
inline constexpr std::size_t kPathBufferSize = 260;
// Size of the formatting buffers for log lines and window titles: 255 characters and a NUL.
inline constexpr std::size_t kFormatBufferSize = 256;

// The UTF-8 byte order mark some editors put before a file's first line.
inline constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
// The line end of the files the program writes for Windows.
inline constexpr char kCrLf[] = "\r\n";

// A space or a tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// `text` without the spaces, tabs and CRs at either end.
std::string Trim(const std::string& text);

// printf-style formatting into a buffer of `bufferSize` bytes; longer results are cut
// to bufferSize - 1 characters.
std::string FormatLimited(std::size_t bufferSize, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string FormatLimitedV(std::size_t bufferSize, const char* format, va_list args);

// Copies `text` into `buffer` (size bytes), cutting it to size - 1 characters; always NUL-terminated.
void CopyLimited(char* buffer, std::size_t size, const std::string& text);

// The text before the last backslash (the backslash dropped); the whole text when there is none.
std::string FolderOf(const std::string& path);
// The text after the last backslash; the whole text when there is none.
std::string NameOf(const std::string& path);

// The file name of `path` without its folder and its last extension.
std::string BaseNameOf(const std::string& path);

// Next line of `in` without its LF (and a CR just before it); a last line without a LF counts
// too. False at the end of the file.
bool ReadLine(std::istream& in, std::string& line);

// Byte-wise comparison that ignores ASCII letter case.
bool EqualsNoCase(const std::string& a, const std::string& b);
// Negative, zero or positive like strcmp, ignoring ASCII letter case.
int CompareNoCase(const std::string& a, const std::string& b);

}  // namespace quillon
