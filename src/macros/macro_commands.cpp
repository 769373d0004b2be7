#include "macros/macro_commands.h"

#include <cstdio>
#include <vector>

#include "assemble/assembler_command.h"
#include "assemble/build_runner.h"
#include "assemble/output_pane.h"
#include "base/child_process.h"
#include "base/full_path.h"
#include "base/text_util.h"
#include "editor/document_window.h"
#include "editor/editor.h"
#include "macros/build_options.h"
#include "macros/console_job.h"
#include "macros/expand_macro.h"
#include "project/project.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

constexpr const char* kHelperName = "quillon_console.exe";
constexpr const char* kNoProject = "No project is loaded, so there is nothing to assemble.";

bool g_running = false;  // a command is waiting for its console

// Writes the job to a temporary file; empty when that fails.
std::string WriteJobFile(const std::vector<ConsoleStep>& steps) {
  char folder[MAX_PATH + 1] = "";
  char path[MAX_PATH + 1] = "";
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH || !GetTempFileNameA(folder, "qmc", 0, path)) return "";
  const std::string text = FormatConsoleJob(steps);
  std::FILE* file = std::fopen(path, "wb");
  bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file) ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    DeleteFileA(path);
    return "";
  }
  return path;
}

// Waits for the process like a modal dialog: the frame is disabled but its windows repaint.
void WaitModal(HWND frame, HANDLE process) {
  const bool wasEnabled = frame && IsWindowEnabled(frame);
  if (wasEnabled) EnableWindow(frame, FALSE);
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
    if (result != WAIT_OBJECT_0 + 1) break;  // ended, or the wait failed
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  WaitForSingleObject(process, INFINITE);
  if (wasEnabled) {
    EnableWindow(frame, TRUE);
    SetForegroundWindow(frame);
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

// Runs the steps in the helper's new console and returns when the helper has ended.
void RunInConsole(HWND frame, const std::vector<ConsoleStep>& steps) {
  const std::string job = WriteJobFile(steps);
  if (job.empty()) {
    ShowLastErrorBox("CreateFile Failure");
    return;
  }
  const std::string helper = g_settings.exeDirectory + "\\" + kHelperName;
  ChildProcess console;
  ChildProcess::Options options;
  options.job = ChildProcess::Job::kGroup;
  options.newConsole = true;
  if (!console.Start(helper, "\"" + helper + "\" \"" + job + "\"", "", options)) {
    ShowLastErrorBox("CreateProcess Failure");
  } else {
    // The helper and every line it starts belong to one job. When the helper did not end at
    // the key (its console was closed, it left the job file), the job ends what its lines left;
    // after the key, programs a line started to go on (start emulator ...) are left alone.
    WaitModal(frame, console.Process());
    const bool atTheKey = GetFileAttributesA(job.c_str()) == INVALID_FILE_ATTRIBUTES;  // removed by the helper
    if (!atTheKey) console.Stop();
  }
  DeleteFileA(job.c_str());
}

struct ShownFile {
  const std::string* path;
  bool shown = false;
};

BOOL CALLBACK MatchShownFile(HWND window, LPARAM lParam) {
  auto* request = reinterpret_cast<ShownFile*>(lParam);
  if (GetParent(window) == g_app.mdiClient && IsDocumentWindow(window) &&
      EqualsNoCase(DocumentPath(window), *request->path))
    request->shown = true;
  return !request->shown;
}

// Shows the listing; a window that already shows it reads it again unless it has changes.
void ShowListing(const std::string& path) {
  ShownFile request{&path};
  if (g_app.mdiClient) EnumChildWindows(g_app.mdiClient, MatchShownFile, reinterpret_cast<LPARAM>(&request));
  if (OpenDocumentAtLine(path, -1) && request.shown) ReloadUnmodifiedDocument(g_app.activeDocument);
}

void ConsoleBuild(HWND frame) {
  if (g_app.buildThread) {  // both would write the same image and listing
    if (g_app.outputPane) {
      g_app.outputPane->Show();
      g_app.outputPane->AddLine("A build is already running.", "", -1);
    }
    return;
  }
  if (!AskForAssemblerPath(frame)) {  // Cancel ends the attempt, as with F7
    RunInConsole(frame, {{ConsoleStep::kShow, "No assembler path is set."}});
    return;
  }
  const Project* project = g_app.project;
  if (!project || !project->loaded) {
    RunInConsole(frame, {{ConsoleStep::kShow, kNoProject}});
    return;
  }
  // The assembler is found as F7 finds it, whatever the program's current folder.
  const std::string directory = FullPathOrSame(project->projectDir);
  std::string program = FullProgramPath(g_settings.assemblerPath, directory);
  if (program.empty()) program = ProgramOf(g_settings.assemblerPath);  // the start failure says why
  const AssemblerRun run = ComposeProjectRun(
      program,
      {project->projectDir, project->outputPath, project->outputName, project->listingPath, project->mainSource},
      project->includeFolders);
  // Only a listing of this run is opened.
  const std::string listing = FullPathOrSame(PathInFolder(directory, run.listingPath));
  if (!RemoveOldListing(listing)) {
    RunInConsole(frame, {{ConsoleStep::kShow, "The old listing file cannot be removed (" + listing + ")."}});
    return;
  }
  RunInConsole(frame, {{ConsoleStep::kFolder, directory},
                       {ConsoleStep::kShow, run.commandLine},
                       {ConsoleStep::kShow, ""},
                       {ConsoleStep::kProgram, run.commandLine},
                       {ConsoleStep::kListing, listing}});
  if (PathExists(listing)) ShowListing(listing);
}

}  // namespace

void RunMacroCommand(HWND frame, int index) {
  if (g_running || index < 0 || index > 3) return;
  g_running = true;
  if (index == 0) {
    ConsoleBuild(frame);
  } else {
    BuildOptions options;
    if (!ReadBuildOptions(SystemFiles(), g_settings.macrosFilePath, options)) {
      RunInConsole(frame,
                   {{ConsoleStep::kShow, "Unable to read the macros file (" + g_settings.macrosFilePath + ")."}});
    } else {
      // Each line runs as the Macro Options preview shows it.
      const PlaceholderValues values = CurrentPlaceholders();
      std::vector<ConsoleStep> steps;
      for (const std::string& line : MacroLines(options.texts[index]))
        steps.push_back({ConsoleStep::kCommand, ExpandPlaceholders(line, values)});
      RunInConsole(frame, steps);
    }
  }
  g_running = false;
}

std::string CurrentBuildFolder() {
  if (const Project* project = g_app.project; project && project->loaded) return FullPathOrSame(project->projectDir);
  const std::string path = DocumentPath(g_app.activeDocument);
  return !path.empty() ? FolderOf(path) : std::string();
}

PlaceholderValues CurrentPlaceholders() {
  PlaceholderSources sources;
  sources.startDirectory = g_settings.startDirectory;
  if (const Project* project = g_app.project; project && project->loaded) {
    sources.project = true;
    sources.paths = {FullPathOrSame(project->projectDir), project->outputPath, project->outputName,
                     project->listingPath, project->mainSource};
  } else if (IsDocumentWindow(g_app.activeDocument)) {
    sources.document = true;
    sources.documentPath = DocumentPath(g_app.activeDocument);
    sources.documentBaseName = DocumentBaseName(g_app.activeDocument);
  }
  sources.assembler = FullProgramPath(g_settings.assemblerPath, CurrentBuildFolder());
  if (sources.assembler.empty()) sources.assembler = ProgramOf(g_settings.assemblerPath);
  PlaceholderValues values = PlaceholdersFor(sources);
  for (std::string* path : {&values.outdir, &values.input, &values.output})
    if (!path->empty() && *path != "untitled") *path = FullPathOrSame(*path);
  return values;
}

}  // namespace quillon
