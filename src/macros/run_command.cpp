#include "macros/run_command.h"

#include <string>

#include "assemble/assembler_command.h"
#include "assemble/build_runner.h"
#include "assemble/ide_options.h"
#include "assemble/output_pane.h"
#include "base/child_process.h"
#include "base/error_log.h"
#include "macros/expand_macro.h"
#include "macros/macro_commands.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

// The run waiting for its build; fixed when the build starts.
struct PendingRun {
  bool waiting = false;
  std::string program;      // the emulator's full path
  std::string commandLine;  // "program" arguments
  std::string directory;    // the folder it runs in
};

PendingRun g_run;

void PaneLine(const std::string& text) {
  if (!g_app.outputPane) return;
  g_app.outputPane->Show();
  g_app.outputPane->AddLine(text, "", -1);
}

}  // namespace

void StartRun(HWND frame) {
  if (g_app.buildThread) {  // StartBuild says that a build is running
    StartBuild(frame);
    return;
  }
  if (g_settings.emulatorPath.empty()) {
    PaneLine("Run: no emulator path is set (Tools, IDE Options).");
    if (ShowIdeOptions(frame, IdeOptionsField::kEmulator) != 1 || g_settings.emulatorPath.empty()) return;
  }
  g_run = PendingRun{};
  if (!StartBuild(frame)) return;
  // Fixed after the save, which may have named an untitled document.
  g_run.directory = CurrentBuildFolder();
  g_run.program = FullProgramPath(g_settings.emulatorPath, g_run.directory);
  if (g_run.program.empty()) g_run.program = ProgramOf(g_settings.emulatorPath);  // the start failure says why
  const std::string arguments = ExpandPlaceholders(g_settings.emulatorArguments, CurrentPlaceholders());
  g_run.commandLine = QuoteProgramPath(g_run.program) + (arguments.empty() ? "" : " " + arguments);
  g_run.waiting = true;
}

void FinishRun() {
  if (!g_run.waiting) return;
  g_run.waiting = false;
  if (!LastBuildSucceeded()) return;  // the pane shows why
  PaneLine("Running: " + g_run.commandLine);
  ChildProcess emulator;
  ChildProcess::Options options;
  options.job = ChildProcess::Job::kNone;  // it goes on when the program ends
  if (!emulator.Start(g_run.program, g_run.commandLine, g_run.directory, options)) {
    const std::string reason = SystemErrorText(GetLastError());
    PaneLine("Run failed: " + reason);
    Log().Log("Run: the emulator could not be started (%s): %s", g_run.program.c_str(), reason.c_str());
  }
}

}  // namespace quillon
