// The error log: a text file that readers of the program's files write their failures to.
// Lines end in CR LF on every platform. Safe to use from several threads at once.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace quillon {

class ErrorLog {
 public:
  // Returns today's date as "%m/%d"; replaceable for tests.
  using DateSource = std::function<std::string()>;

  ErrorLog();
  explicit ErrorLog(DateSource today);
  ~ErrorLog();
  ErrorLog(const ErrorLog&) = delete;
  ErrorLog& operator=(const ErrorLog&) = delete;

  // Creates or empties the file and writes the header. False when already open,
  // when no name is given or when the file cannot be created.
  bool Open(const char* fileName);
  // Writes ten spaces, the message (printf rules, cut to 255 characters) and a line break.
  // Does nothing while closed.
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Writes an empty line and the trailer, then closes. Always true.
  bool Close();
  bool IsOpen() const;

  static std::string LocalDate();

 private:
  void WriteLocked(const std::string& text);

  mutable std::mutex mutex_;
  std::FILE* file_ = nullptr;
  DateSource today_;
};

// The process-wide error log.
ErrorLog& Log();

}  // namespace quillon
