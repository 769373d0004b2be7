#include "macros/build_options.h"

#include "base/error_log.h"
#include "base/file_io.h"
#include "base/regex_search.h"
#include "base/text_util.h"
#include "project/project_file.h"

namespace quillon {

namespace {

constexpr const char* kHeaderPattern = "^\\s*\\[[Ff](\\d)\\]";

}  // namespace

void ParseBuildOptions(const std::string& fileText, BuildOptions& options) {
  Pattern header = CompilePattern(kHeaderPattern);
  if (!header) {
    Log().Log("ReadBuildOptions() Error: %s", "Unable to create regex for FnKey.");
    return;
  }
  std::string text = fileText.starts_with(kByteOrderMark) ? fileText.substr(3) : fileText;
  if (std::size_t end = text.find('\x1A'); end != std::string::npos) text.erase(end);

  std::string* current = nullptr;  // no macro until a valid header
  std::vector<std::string> captures;
  for (const std::string& line : SplitLines(text)) {
    if (RegexSearch(line.c_str(), header.get(), captures, 0) > 0) {
      const int n = captures.empty() || captures[0].empty() ? 0 : captures[0][0] - '0';
      current = n >= 5 && n <= 8 ? &options.texts[n - 5] : nullptr;
      if (current) current->clear();
    } else if (current) {
      *current += line;
      *current += kCrLf;
    }
  }
}

std::string FormatBuildOptions(const BuildOptions& options) {
  std::string text;
  for (std::size_t k = 0; k < options.texts.size(); ++k) {
    text += "[F" + std::to_string(k + 5) + "]" + kCrLf;
    const std::string& macro = options.texts[k];
    text += macro;
    if (!macro.empty() && !macro.ends_with(kCrLf)) text += kCrLf;
  }
  return text;
}

bool ReadBuildOptions(FileSystem& files, const std::string& path, BuildOptions& options) {
  std::string text;
  if (!ReadWholeFile(files, path, text)) return false;
  ParseBuildOptions(text, options);
  return true;
}

bool WriteBuildOptions(FileSystem& files, const std::string& path, const BuildOptions& options) {
  return WriteFileReplacing(files, path, FormatBuildOptions(options));
}

std::vector<std::string> MacroLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    std::size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    lines.push_back(text.substr(start, length));
    start = end + 1;
  }
  return lines;
}

}  // namespace quillon
