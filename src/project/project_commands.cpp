#include "project/project_commands.h"

#include <new>

#include "base/full_path.h"
#include "base/recent_lists.h"
#include "base/start_files.h"
#include "base/text_util.h"
#include "editor/document_window.h"
#include "project/file_pane.h"
#include "project/project.h"
#include "project/project_dialogs.h"
#include "project/win32_project_platform.h"
#include "ui/app_state.h"
#include "ui/file_choosers.h"
#include "ui/frame_hooks.h"

namespace quillon {

namespace {

Win32ProjectPlatform g_projectPlatform;

constexpr char kProjectFilter[] = "Quillon Project files (*.qlp)\0*.qlp\0ALL files (*.*)\0*.*\0";

}  // namespace

// Called inside window creation, where nothing may throw: a part that cannot be made (memory
// short, or a constructor that throws) stays empty.
void CreateAppProject(HWND frame) {
  try {
    g_app.project = new Project(g_projectPlatform, g_settings);
  } catch (...) {
    g_app.project = nullptr;
    return;
  }
  try {
    g_app.filePane = new FilePane(frame, g_app.instance, *g_app.project);
  } catch (...) {
    g_app.filePane = nullptr;
  }
}

// The project open at exit is reopened at the next start and listed in Recent Projects.
void DestroyAppProject() {
  if (g_app.project) {
    g_settings.openProject = g_app.project->loaded ? g_app.project->ProjectFile() : std::string();
    if (!g_settings.openProject.empty()) AddRecentProject(g_settings.openProject);
  }
  delete g_app.filePane;
  g_app.filePane = nullptr;
  delete g_app.project;
  g_app.project = nullptr;
}

bool IsProjectFileName(const std::string& path) {
  std::size_t dot = path.rfind('.');
  return dot != std::string::npos && EqualsNoCase(path.substr(dot), ".qlp");
}

bool SaveProjectOrReport(HWND owner) {
  Project* project = g_app.project;
  if (!project) return true;
  if (project->SaveProject() != SaveResult::kFailed) return true;
  MessageBoxA(owner, "Unable to save project", project->ProjectFile().c_str(), MB_OK | MB_ICONERROR);
  return false;
}

bool AskToSaveProject(HWND owner) {
  Project* project = g_app.project;
  if (!project) return true;
  // Only the breakpoints changed: they are saved without a question.
  if (!project->ShouldAskToSave()) {
    SaveProjectOrReport(owner);  // a failure is reported; the breakpoints alone keep nothing open
    return true;
  }
  int answer = MessageBoxA(owner, "Project settings have changed, would you like to save?",
                           project->projectName.c_str(), MB_YESNOCANCEL);
  if (answer == IDCANCEL) return false;
  return answer != IDYES || SaveProjectOrReport(owner);  // a failed save keeps the project open
}

// The questions before the project and its documents close. False when the user cancelled.
bool MayCloseProjectAndDocuments(HWND owner) { return AskToSaveProject(owner) && CloseAllDocuments(g_app.mdiClient); }

// A file that cannot be read is reported and changes nothing: no question, no document closed.
bool OpenProjectFile(HWND owner, const std::string& path) {
  Project* project = g_app.project;
  if (!project) return false;
  if (project->CanRead(path)) {
    if (!MayCloseProjectAndDocuments(owner)) return false;
    if (project->LoadProject(path)) {
      AddRecentProject(path);
      return true;
    }
  }
  MessageBoxA(owner, "Unable to open project file.", path.c_str(), MB_OK | MB_ICONERROR);
  return false;
}

void SwitchToProject(const std::string& path) { OpenProjectFile(FrameWindow(), path); }

void OpenProjectCommand(HWND owner) {
  std::string path;
  if (!ChooseFileToOpen(owner, g_settings.lastDirectory, kProjectFilter, path, nullptr, "Open file")) return;
  g_settings.lastDirectory = FolderToRemember(path);
  OpenProjectFile(owner, path);
}

void NewProjectCommand(HWND frame) {
  if (!g_app.project) return;
  std::string name, location;
  if (!RunNewProjectDialog(frame, name, location)) return;
  // The folder as entered is remembered; the file is made in its full form, since the file
  // choosers move the current directory.
  g_settings.lastDirectory = location;
  std::string folder;
  if (!ResolveFullPath(location, folder)) folder = location;
  const std::string file = folder + "\\" + name + ".qlp";
  if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
    const std::string question = file + " already exists.\nDo you want to replace it?";
    if (MessageBoxA(frame, question.c_str(), "New Project", MB_YESNO | MB_ICONWARNING) != IDYES) return;
  }
  if (!MayCloseProjectAndDocuments(frame)) return;
  if (g_app.project->CreateProject(name, folder))
    AddRecentProject(file);
  else
    MessageBoxA(frame, "Unable to create new project", name.c_str(), MB_OK | MB_ICONERROR);
}

void OpenDroppedProject(HWND frame, const std::string& path) { OpenProjectFile(frame, path); }

void OpenFilesAtStart(HWND frame, const std::string& commandLine) {
  // Taken from the start folder now: opening a project moves the current folder.
  const auto full = [](const std::string& path) {
    std::string resolved;
    return ResolveFullPath(path, resolved) ? resolved : path;
  };
  const StartFiles start =
      FilesToOpenAtStart(CommandLineArguments(commandLine), g_settings.reopenProject, g_settings.openProject);
  std::vector<std::string> files;
  for (const std::string& file : start.files) files.push_back(full(file));
  if (!start.project.empty() && g_app.project) {
    const std::string project = full(start.project);
    if (start.project != g_settings.openProject)
      OpenProjectFile(frame, project);
    else if (g_app.project->CanRead(project) && g_app.project->LoadProject(project))
      AddRecentProject(project);  // a last project that has gone is not reported at every start
  }
  for (const std::string& file : files) OpenDocumentAtLine(file, -1);
}

bool CloseProjectCommand(HWND frame) {
  Project* project = g_app.project;
  if (!project || !project->loaded) return true;
  if (!MayCloseProjectAndDocuments(frame)) return false;
  project->CloseProject();
  return true;
}

}  // namespace quillon
