#include "base/error_log.h"

#include <cstdarg>
#include <ctime>

#include "base/text_util.h"

namespace quillon {

ErrorLog::ErrorLog() : ErrorLog(&ErrorLog::LocalDate) {}

ErrorLog::ErrorLog(DateSource today) : today_(std::move(today)) {}

ErrorLog::~ErrorLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) std::fclose(file_);
}

std::string ErrorLog::LocalDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buffer[kFormatBufferSize];
  if (std::strftime(buffer, sizeof buffer, "%m/%d", &local) == 0) return {};
  return buffer;
}

// Text-mode line ends on every platform: each "\n" becomes CR LF.
void ErrorLog::WriteLocked(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n')
      out += "\r\n";
    else
      out += c;
  }
  std::fwrite(out.data(), 1, out.size(), file_);
  std::fflush(file_);
}

bool ErrorLog::Open(const char* fileName) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_ || fileName == nullptr || *fileName == '\0') return false;
  file_ = std::fopen(fileName, "wb");
  if (!file_) return false;
  WriteLocked("Error log for " + today_() + "\n\n");
  return true;
}

void ErrorLog::Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatLimitedV(kFormatBufferSize, format, args);
  va_end(args);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return;
  WriteLocked("          " + message + "\n");
}

bool ErrorLog::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return true;
  WriteLocked("\nEnd of error log for " + today_() + "\n");
  std::fclose(file_);
  file_ = nullptr;
  return true;
}

bool ErrorLog::IsOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return file_ != nullptr;
}

}  // namespace quillon

namespace quillon {

ErrorLog& Log() {
  static ErrorLog log;
  return log;
}

}  // namespace quillon
