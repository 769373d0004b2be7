#include "base/child_process.h"

#include <vector>

namespace quillon {

ChildProcess::~ChildProcess() {
  if (job_) CloseHandle(job_);
  if (process_) CloseHandle(process_);
}

bool ChildProcess::Start(const std::string& program, const std::string& commandLine, const std::string& directory,
                         const Options& options) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED;
  if (options.newConsole) flags |= CREATE_NEW_CONSOLE;
  if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr,
                      options.inheritHandles, flags, nullptr, directory.empty() ? nullptr : directory.c_str(), &startup,
                      &started))
    return false;
  process_ = started.hProcess;
  if (options.job != Job::kNone) {
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_ && options.job == Job::kKillOnClose) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    if (job_ && !AssignProcessToJobObject(job_, process_)) {
      CloseHandle(job_);
      job_ = nullptr;
    }
  }
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  return true;
}

bool ChildProcess::Wait(HANDLE stop) {
  if (!process_) return true;
  HANDLE waits[] = {process_, stop};
  return WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
}

void ChildProcess::Stop() {
  if (!process_) return;
  if (job_) TerminateJobObject(job_, 1);
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, INFINITE);
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

}  // namespace quillon
