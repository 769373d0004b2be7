#include "base/text_util.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quillon {

std::string FormatLimitedV(std::size_t bufferSize, const char* format, va_list args) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize, '\0');
  int n = std::vsnprintf(buffer.data(), bufferSize, format, args);
  if (n < 0) return {};
  return std::string(buffer.data());
}

std::string FormatLimited(std::size_t bufferSize, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatLimitedV(bufferSize, format, args);
  va_end(args);
  return text;
}

void CopyLimited(char* buffer, std::size_t size, const std::string& text) {
  if (size == 0) return;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string FolderOf(const std::string& path) {
  std::size_t pos = path.rfind('\\');
  return pos == std::string::npos ? path : path.substr(0, pos);
}

std::string NameOf(const std::string& path) {
  std::size_t pos = path.rfind('\\');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string BaseNameOf(const std::string& path) {
  std::string name = NameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  const bool endedAtLineFeed = !in.eof();
  if (endedAtLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

static unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int CompareNoCase(const std::string& a, const std::string& b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = Lower(static_cast<unsigned char>(a[i]));
    unsigned char y = Lower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

}  // namespace quillon
