// A program the IDE starts: the build's assembler, the console helper.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

class ChildProcess {
 public:
  enum class Job {
    kNone,         // the process goes its own way
    kGroup,        // it and what it starts can be ended together (Stop)
    kKillOnClose,  // as kGroup, and they end when this object or the IDE does
  };
  struct Options {
    Job job = Job::kKillOnClose;
    bool inheritHandles = false;
    bool newConsole = false;
  };

  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // closes the handles; with kKillOnClose that ends the process

  // Starts `commandLine` (`program` may be empty: the line's first word) suspended, puts it in
  // its job, then lets it run. False, with the system's error left for GetLastError, when it
  // cannot be started.
  bool Start(const std::string& program, const std::string& commandLine, const std::string& directory,
             const Options& options);
  HANDLE Process() const { return process_; }
  // Waits until the process ends (true) or `stop` is signalled (false).
  bool Wait(HANDLE stop = nullptr);
  // Ends the job's processes, or the process alone without a job, and waits for the end.
  void Stop();
  DWORD ExitCode() const;

 private:
  HANDLE process_ = nullptr;
  HANDLE job_ = nullptr;
};

}  // namespace quillon
