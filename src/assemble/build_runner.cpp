#include "assemble/build_runner.h"

#include <memory>
#include <string>
#include <vector>

#include "assemble/assembler_command.h"
#include "assemble/listing_parser.h"
#include "assemble/output_pane.h"
#include "editor/document.h"
#include "editor/document_window.h"
#include "project/project.h"
#include "ui/app_state.h"
#include "ui/dialogs.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

// Everything the worker needs, copied on the user-interface thread before it starts.
struct BuildJob {
  HWND frame = nullptr;
  HWND pane = nullptr;
  std::string assemblerPath;
  bool projectLoaded = false;
  ProjectBuildPaths project;
  bool hasDocument = false;  // an active document window
  bool hasRecord = false;    // ... with a document record
  std::string documentPath;
  std::string documentBaseName;
};

std::unique_ptr<BuildJob> CopyInputs(HWND frame) {
  auto job = std::make_unique<BuildJob>();
  job->frame = frame;
  job->pane = g_app.outputPane ? g_app.outputPane->Window() : nullptr;
  job->assemblerPath = g_settings.assemblerPath;
  if (const Project* p = g_app.project; p && p->loaded) {
    job->projectLoaded = true;
    job->project = {p->projectDir, p->outputPath, p->outputName, p->listingPath, p->mainSource};
  }
  job->hasDocument = g_app.activeDocument != nullptr;
  if (const Document* document = GetDocument(g_app.activeDocument)) {
    job->hasRecord = true;
    job->documentPath = document->path;
    job->documentBaseName = document->baseName;
  }
  return job;
}

// Starts the assembler and waits for it. The whole line goes to the process, however long.
void RunAssembler(const std::string& commandLine) {
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &process)) {
    ShowLastErrorBox("CreateProcess Failure");
    return;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

// The worker's steps up to "Finished assembly"; the caller posts the end.
void RunBuild(const BuildJob& job) {
  PaneMessenger pane(job.pane);
  pane.Clear();
  pane.Show();
  pane.AddLine("Assembling...", "", -1);

  AssemblerRun run;
  if (job.projectLoaded) {
    run = ComposeProjectRun(job.assemblerPath, job.project);
  } else if (!job.hasDocument) {
    pane.AddLine("No file to build.", "", -1);
    return;
  } else if (!job.hasRecord) {
    pane.AddLine("Unable to retrieve file information.", "", -1);
    return;
  } else {
    run = ComposeDocumentRun(job.assemblerPath, job.documentPath, job.documentBaseName);
  }
  SetCurrentDirectoryA(run.directory.c_str());  // stays in force after the build
  pane.AddLine(run.commandLine, "", -1);
  RunAssembler(run.commandLine);

  pane.AddLine("Parsing listing file...", "", -1);
  ParseListing(run.listingPath, run.directory, pane);
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

// Asks until an assembler path is set; every close of the dialog leads back to the test.
void AskForAssemblerPath(HWND frame) {
  while (g_settings.assemblerPath.empty()) {
    MessageBoxA(frame, "Please specify the path to AS1600.exe", "Cannot assemble", MB_OK | MB_ICONINFORMATION);
    ShowIdeOptions(frame);
  }
}

}  // namespace

void StartBuild(HWND frame) {
  if (g_app.buildThread) {
    if (g_app.outputPane) {
      g_app.outputPane->Show();
      g_app.outputPane->AddLine("A build is already running.", "", -1);
    }
    return;
  }
  SaveAllDocuments(g_app.mdiClient);  // then the project
  AskForAssemblerPath(frame);

  std::unique_ptr<BuildJob> job = CopyInputs(frame);
  HANDLE thread = CreateThread(nullptr, 0, BuildWorker, job.get(), 0, nullptr);
  if (!thread) {
    ShowLastErrorBox("CreateThread Failure");
    return;
  }
  job.release();  // the worker owns it now
  g_app.buildThread = thread;
}

}  // namespace quillon
