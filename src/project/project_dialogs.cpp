#include "project/project_dialogs.h"

#include <shlobj.h>

#include "base/text_util.h"
#include "project/project.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialogs.h"
#include "ui/file_choosers.h"

namespace quillon {

namespace {

constexpr int kMaxField = static_cast<int>(kPathBufferSize - 1);

// The text of a field; false when it is longer than a path buffer holds.
bool FieldText(HWND dialog, int id, std::string& text) {
  HWND field = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(field);
  if (length > kMaxField) return false;
  char buffer[kPathBufferSize] = "";
  GetWindowTextA(field, buffer, sizeof buffer);
  text = buffer;
  return true;
}

void ShowError(HWND dialog, const char* text) { MessageBoxA(dialog, text, "Error", MB_OK | MB_ICONERROR); }

void LimitFields(HWND dialog, std::initializer_list<int> ids) {
  for (int id : ids) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kMaxField, 0);
}

// ---- New Project ----

struct NewProjectState {
  std::string* name;
  std::string* location;
  std::string base;  // the folder the typed name is appended to
  bool autoFill = false;
};

NewProjectState* StateOf(HWND dialog) {
  return reinterpret_cast<NewProjectState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnNewProjectOk(HWND dialog, NewProjectState& state) {
  std::string name, location;
  if (!FieldText(dialog, IDC_PROJECT_NAME, name) || !IsUsableProjectName(name)) {
    ShowError(dialog, "Invalid project name specified");
    return;
  }
  // The project file's path must fit a path buffer as well.
  if (!FieldText(dialog, IDC_PROJECT_LOCATION, location) || location.empty() ||
      location.size() + 1 + name.size() + 4 > static_cast<std::size_t>(kMaxField)) {
    ShowError(dialog, "Invalid project path specified");
    return;
  }
  *state.name = name;
  *state.location = location;
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK NewProjectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* state = reinterpret_cast<NewProjectState*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    CentreOver(dialog, GetParent(dialog));
    LimitFields(dialog, {IDC_PROJECT_NAME, IDC_PROJECT_LOCATION});
    SetDlgItemTextA(dialog, IDC_PROJECT_LOCATION, g_settings.startDirectory.c_str());
    SetFocus(GetDlgItem(dialog, IDC_PROJECT_NAME));
    state->base = g_settings.startDirectory;
    state->autoFill = true;  // after the location was set: that change would clear it
    return FALSE;            // the focus is set
  }
  NewProjectState* state = StateOf(dialog);
  if (message != WM_COMMAND || !state) return FALSE;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case IDC_PROJECT_NAME:
      if (code == EN_CHANGE && state->autoFill) {
        std::string name;
        FieldText(dialog, IDC_PROJECT_NAME, name);
        SetDlgItemTextA(dialog, IDC_PROJECT_LOCATION, (state->base + "\\" + name).c_str());
        state->autoFill = true;
      }
      return TRUE;
    case IDC_PROJECT_LOCATION:
      if (code == EN_CHANGE) state->autoFill = false;
      return TRUE;
    case IDC_PROJECT_BROWSE: {
      std::string folder;
      if (BrowseForFolder(dialog, state->base, "Browse for project folder", folder, 0, nullptr)) {
        SetDlgItemTextA(dialog, IDC_PROJECT_LOCATION, folder.c_str());
        state->base = folder;
        state->autoFill = true;
      }
      return TRUE;
    }
    case IDOK:
      OnNewProjectOk(dialog, *state);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

// ---- Project Settings ----

Project* SettingsProject(HWND dialog) { return reinterpret_cast<Project*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// A folder as the folder browser can select it: a relative one is taken from the project folder.
std::string FullFolder(const Project& project, const std::string& folder) {
  std::string full;
  return project.FullPathOf(folder, full) ? full : folder;
}

// A new output folder is created now, one level deep as a load would, so that the next build
// does not write into a folder that does not exist. False when it cannot be made.
bool MakeOutputFolder(const Project& project) {
  std::string full;
  if (!project.FullPathOf(project.outputPath, full)) return false;
  const DWORD attributes = GetFileAttributesA(full.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return CreateDirectoryA(full.c_str(), nullptr) != 0;
}

void OnSettingsOk(HWND dialog, Project& project) {
  if (!project.loaded) {
    EndDialog(dialog, 1);
    return;
  }
  std::string name, outputName, outputPath;
  // A name that reads back as a section header would be lost at the next load.
  if (!FieldText(dialog, IDC_PROJECT_NAME, name) || (!name.empty() && !IsUsableProjectName(name))) {
    ShowError(dialog, "Invalid project name specified");
    return;
  }
  if (!FieldText(dialog, IDC_PROJECT_OUTPUTNAME, outputName)) {
    ShowError(dialog, "Invalid output file name specified");
    return;
  }
  if (!FieldText(dialog, IDC_PROJECT_OUTPUTPATH, outputPath)) {
    ShowError(dialog, "Invalid output directory specified");
    return;
  }
  project.SetProjectName(name, project.ProjectFile());
  project.SetOutputName(outputName);
  project.SetOutputPath(outputPath);
  if (!MakeOutputFolder(project))
    MessageBoxA(dialog, "Unable to create output directory", outputPath.c_str(), MB_OK | MB_ICONERROR);
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK ProjectSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* project = reinterpret_cast<Project*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    CentreOver(dialog, GetParent(dialog));
    LimitFields(dialog, {IDC_PROJECT_NAME, IDC_PROJECT_OUTPUTNAME, IDC_PROJECT_OUTPUTPATH});
    EnableWindow(GetDlgItem(dialog, IDC_PROJECT_ABSOLUTE), FALSE);
    if (project->loaded) {
      SetDlgItemTextA(dialog, IDC_PROJECT_NAME, project->projectName.c_str());
      SetDlgItemTextA(dialog, IDC_PROJECT_OUTPUTNAME, project->outputName.c_str());
      SetDlgItemTextA(dialog, IDC_PROJECT_OUTPUTPATH, project->outputPath.c_str());
    } else {
      for (int id : {IDC_PROJECT_NAME, IDC_PROJECT_OUTPUTNAME, IDC_PROJECT_OUTPUTPATH, IDC_PROJECT_BROWSEOUTPUT})
        EnableWindow(GetDlgItem(dialog, id), FALSE);
    }
    return TRUE;
  }
  Project* project = SettingsProject(dialog);
  if (message != WM_COMMAND || !project) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnSettingsOk(dialog, *project);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    case IDC_PROJECT_BROWSEOUTPUT: {
      std::string folder;
      if (BrowseForFolder(dialog, FullFolder(*project, project->outputPath), "Browse for output folder", folder, 0,
                          nullptr))
        SetDlgItemTextA(dialog, IDC_PROJECT_OUTPUTPATH, folder.c_str());
      return TRUE;
    }
  }
  return FALSE;
}

HINSTANCE ResourceModule() { return g_app.instance ? g_app.instance : GetModuleHandleA(nullptr); }

}  // namespace

bool RunNewProjectDialog(HWND frame, std::string& name, std::string& location) {
  NewProjectState state{&name, &location, std::string(), false};
  return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_NEWPROJECT), frame, NewProjectDialogProc,
                         reinterpret_cast<LPARAM>(&state)) == 1;
}

void ProjectSettingsCommand(HWND frame, Project& project) {
  DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_PROJECTSETTINGS), frame, ProjectSettingsDialogProc,
                  reinterpret_cast<LPARAM>(&project));
}

}  // namespace quillon
