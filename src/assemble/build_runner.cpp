#include "assemble/build_runner.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "assemble/assembler_command.h"
#include "assemble/bundled_assembler.h"
#include "assemble/ide_options.h"
#include "assemble/insight_commands.h"
#include "assemble/listing_parser.h"
#include "assemble/output_pane.h"
#include "base/child_process.h"
#include "base/full_path.h"
#include "base/text_util.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "project/project.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

// Set to end the running assembler; reset when a build starts.
HANDLE g_stopEvent = nullptr;
// Written by the worker before it posts its end; read on the user-interface thread after that.
std::atomic<bool> g_lastBuildSucceeded{false};

// Everything the worker needs, fixed on the user-interface thread before it starts. Paths the
// worker uses itself are full paths; it never relies on the current directory.
struct BuildJob {
  HWND frame = nullptr;
  HWND pane = nullptr;
  HANDLE stop = nullptr;
  std::string refusal;                   // when set, the build ends with this line before it starts anything
  bool hasDocument = false;              // an active document window (without a project)
  bool hasRecord = false;                // ... with a document record
  AssemblerRun run;                      // the command line as the pane shows it
  std::string program;                   // full path of the assembler; empty: the system searches for it
  std::string directory;                 // full path of the folder the assembler runs in
  std::string listing;                   // full path of the listing
  std::vector<std::string> includeDirs;  // full paths of the project's include folders
};

BOOL CALLBACK NoteUnsaved(HWND window, LPARAM lParam) {
  if (DocumentModified(window)) *reinterpret_cast<bool*>(lParam) = true;
  return TRUE;
}

// True when a document still holds changes that are not on disk.
bool AnyDocumentUnsaved() {
  bool unsaved = false;
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, NoteUnsaved, reinterpret_cast<LPARAM>(&unsaved));
  return unsaved;
}

// Why the build cannot go on after the save, or empty.
std::string RefusalAfterSave() {
  const Project* project = g_app.project;
  const bool projectLoaded = project && project->loaded;
  const bool activeUntitled = IsDocumentWindow(g_app.activeDocument) && DocumentPath(g_app.activeDocument).empty();
  if (AnyDocumentUnsaved() || (!projectLoaded && activeUntitled)) return "Build failed: save the document first.";
  if (projectLoaded && project->mainSource.empty()) return "Build failed: the project has no main source.";
  return std::string();
}

// Composes the run and fixes its paths; empty refusal and no run when there is nothing to build.
std::unique_ptr<BuildJob> PrepareJob(HWND frame, const std::string& refusal) {
  auto job = std::make_unique<BuildJob>();
  job->frame = frame;
  job->pane = g_app.outputPane ? g_app.outputPane->Window() : nullptr;
  job->stop = g_stopEvent;
  job->refusal = refusal;
  if (!refusal.empty()) return job;
  const Project* project = g_app.project;
  if (project && project->loaded) {
    job->hasDocument = job->hasRecord = true;
    job->run = ComposeProjectRun(
        g_settings.assemblerPath,
        {project->projectDir, project->outputPath, project->outputName, project->listingPath, project->mainSource},
        project->includeFolders);
  } else {
    job->hasDocument = g_app.activeDocument != nullptr;
    job->hasRecord = IsDocumentWindow(g_app.activeDocument);
    if (!job->hasRecord) return job;
    job->run = ComposeDocumentRun(g_settings.assemblerPath, DocumentPath(g_app.activeDocument),
                                  DocumentBaseName(g_app.activeDocument));
  }
  job->directory = FullPathOrSame(job->run.directory);
  job->listing = FullPathOrSame(PathInFolder(job->directory, job->run.listingPath));
  job->program = FullProgramPath(g_settings.assemblerPath, job->directory);
  if (project && project->loaded)
    for (const std::string& folder : project->includeFolders)
      job->includeDirs.push_back(FullPathOrSame(PathInFolder(job->directory, folder)));
  // Later relative paths (the listing's file names) are taken from here, as before.
  SetCurrentDirectoryA(job->directory.c_str());
  return job;
}

enum class RunOutcome { kNotStarted, kFinished, kStopped };

// Runs the assembler in a job that ends it when the program ends, and waits for it to end or
// for the stop event.
RunOutcome RunAssembler(const BuildJob& job, PaneMessenger& pane, DWORD& exitCode) {
  ChildProcess assembler;
  ChildProcess::Options options;
  options.inheritHandles = true;
  if (!assembler.Start(job.program, job.run.commandLine, job.directory, options)) {
    const DWORD error = GetLastError();
    pane.AddLine("Build failed: the assembler could not be started.", "", -1);
    SetLastError(error);
    ShowLastErrorBox("CreateProcess Failure");
    return RunOutcome::kNotStarted;
  }
  RunOutcome outcome = RunOutcome::kFinished;
  if (!assembler.Wait(job.stop)) {
    assembler.Stop();
    outcome = RunOutcome::kStopped;
  }
  exitCode = assembler.ExitCode();
  return outcome;
}

// What the memory map and the tips read of the build. Only the bundled assembler writes a source
// map: beside another's image a .smap is left from an earlier build, and its listing is read.
BuildOutputs InsightOutputs(const BuildJob& job) {
  BuildOutputs outputs;
  outputs.directory = job.directory;
  outputs.image = job.run.imagePath;
  outputs.source = job.run.sourcePath;
  outputs.listing = job.listing;
  const std::size_t slash = job.program.find_last_of("\\/");
  outputs.sourceMap =
      _stricmp(job.program.c_str() + (slash == std::string::npos ? 0 : slash + 1), kBundledAssemblerName) == 0;
  outputs.includeDirs = job.includeDirs;
  return outputs;
}

// The worker's steps; the caller posts the end.
void RunBuild(const BuildJob& job) {
  PaneMessenger pane(job.pane);
  pane.Clear();
  pane.Show();
  pane.AddLine("Assembling...", "", -1);
  if (!job.refusal.empty()) {
    pane.AddLine(job.refusal, "", -1);
    pane.AddLine("Finished assembly", "", -1);
    return;
  }
  if (!job.hasDocument) return pane.AddLine("No file to build.", "", -1);
  if (!job.hasRecord) return pane.AddLine("Unable to retrieve file information.", "", -1);

  pane.AddLine(job.run.commandLine, "", -1);
  if (!RemoveOldListing(job.listing)) {
    pane.AddLine("Build failed: the old listing file cannot be removed (" + job.listing + ").", "", -1);
    pane.AddLine("Finished assembly", "", -1);
    return;
  }
  DWORD exitCode = 0;
  switch (RunAssembler(job, pane, exitCode)) {
    case RunOutcome::kNotStarted:
      break;
    case RunOutcome::kStopped:
      pane.AddLine("Build stopped.", "", -1);
      break;
    case RunOutcome::kFinished:
      if (PathExists(job.listing)) {
        pane.AddLine("Parsing listing file...", "", -1);
        const int errors = ParseListing(job.listing, job.directory, pane);
        g_lastBuildSucceeded = exitCode == 0 && errors == 0;
        // The memory map after the totals; data over the console's memory fails the build.
        if (exitCode == 0 && !ReportBuildInsight(InsightOutputs(job), pane)) g_lastBuildSucceeded = false;
      } else {
        pane.AddLine("Build failed: no listing file was written (" + job.listing + ").", "", -1);
      }
      if (exitCode != 0) pane.AddLine("Assembler exit code: " + std::to_string(exitCode), "", -1);
      break;
  }
  pane.AddLine("Finished assembly", "", -1);
}

DWORD WINAPI BuildWorker(LPVOID parameter) {
  std::unique_ptr<BuildJob> job(static_cast<BuildJob*>(parameter));
  HWND frame = job->frame;
  try {
    RunBuild(*job);
  } catch (...) {
    // Out of memory: the build ends here, the frame still hears of it.
  }
  job.reset();
  PostMessageA(frame, WM_BUILD_FINISHED, 0, 0);
  return 0;
}

}  // namespace

std::string FullProgramPath(const std::string& programPath, const std::string& directory) {
  const std::string program = ProgramOf(programPath);
  if (program.empty()) return program;
  if (HasFolderPart(program)) return FullPathOrSame(PathInFolder(directory, program));
  char found[MAX_PATH] = "";
  DWORD n = SearchPathA(directory.c_str(), program.c_str(), ".exe", sizeof found, found, nullptr);
  if (n == 0 || n >= sizeof found) n = SearchPathA(nullptr, program.c_str(), ".exe", sizeof found, found, nullptr);
  return (n > 0 && n < sizeof found) ? std::string(found, n) : std::string();
}

bool RemoveOldListing(const std::string& listing) {
  if (DeleteFileA(listing.c_str())) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool AskForAssemblerPath(HWND frame) {
  while (g_settings.assemblerPath.empty()) {
    MessageBoxA(frame, "Please specify the path to AS1600.exe", "Cannot assemble", MB_OK | MB_ICONINFORMATION);
    if (ShowIdeOptions(frame) != 1) return !g_settings.assemblerPath.empty();
  }
  return true;
}

bool LastBuildSucceeded() { return g_lastBuildSucceeded; }

bool StartBuild(HWND frame) {
  if (g_app.buildThread) {
    if (g_app.outputPane) {
      g_app.outputPane->Show();
      g_app.outputPane->AddLine("A build is already running.", "", -1);
    }
    return false;
  }
  g_lastBuildSucceeded = false;
  SaveAllDocuments(g_app.mdiClient);  // then the project
  std::string refusal = RefusalAfterSave();
  if (refusal.empty() && !AskForAssemblerPath(frame)) refusal = "Build failed: no assembler path is set.";

  if (!g_stopEvent) g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (g_stopEvent) ResetEvent(g_stopEvent);
  std::unique_ptr<BuildJob> job = PrepareJob(frame, refusal);
  HANDLE thread = CreateThread(nullptr, 0, BuildWorker, job.get(), 0, nullptr);
  if (!thread) {
    ShowLastErrorBox("CreateThread Failure");
    return false;
  }
  job.release();  // the worker owns it now
  g_app.buildThread = thread;
  return true;
}

void StopBuild() {
  if (g_app.buildThread && g_stopEvent) SetEvent(g_stopEvent);
}

bool JoinBuild(DWORD milliseconds) {
  if (!g_app.buildThread) return true;
  const DWORD until = GetTickCount() + milliseconds;
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD left = static_cast<LONG>(until - now) > 0 ? until - now : 0;
    const DWORD woke = MsgWaitForMultipleObjects(1, &g_app.buildThread, FALSE, left, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) break;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG msg;  // carries out the pane lines the worker sends
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(g_app.buildThread);
  g_app.buildThread = nullptr;
  return true;
}

bool StopBuildBeforeClose(HWND frame) {
  if (!g_app.buildThread) return true;
  if (MessageBoxA(frame, "A build is running. Stop it and close?", kFrameTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  StopBuild();
  JoinBuild(1500);
  return true;
}

}  // namespace quillon
