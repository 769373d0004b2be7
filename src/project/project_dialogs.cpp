#include "project/project_dialogs.h"

#include <shlobj.h>

#include "base/text_util.h"
#include "project/project.h"
#include "resource.h"
#include "ui/app_state.h"
#include "ui/dialog.h"
#include "ui/file_choosers.h"

namespace quillon {

namespace {

constexpr int kMaxField = static_cast<int>(kPathBufferSize - 1);

// What both project dialogs share: fields that hold a path, checked before OK takes them.
class ProjectDialog : public Dialog {
 protected:
  void LimitFields(std::initializer_list<int> ids) {
    for (int id : ids) SendDlgItemMessageA(Handle(), id, EM_LIMITTEXT, kMaxField, 0);
  }
  // The text of a field; false, after showing `error`, when it is longer than a path buffer
  // holds or `usable` refuses it.
  bool TakeField(int id, std::string& text, const char* error, bool (*usable)(const std::string&) = nullptr) {
    text = Text(id);
    if (static_cast<int>(text.size()) <= kMaxField && (!usable || usable(text))) return true;
    ShowError(error);
    return false;
  }
  void ShowError(const char* text) { MessageBoxA(Handle(), text, "Error", MB_OK | MB_ICONERROR); }
};

// ---- New Project ----

class NewProjectDialog : public ProjectDialog {
 public:
  NewProjectDialog(std::string& name, std::string& location) : name_(name), location_(location) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    LimitFields({IDC_PROJECT_NAME, IDC_PROJECT_LOCATION});
    SetText(IDC_PROJECT_LOCATION, g_settings.startDirectory);
    SetFocus(Item(IDC_PROJECT_NAME));
    base_ = g_settings.startDirectory;
    autoFill_ = true;  // after the location was set: that change would clear it
    return false;      // the focus is set
  }
  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDC_PROJECT_NAME:
        if (code == EN_CHANGE && autoFill_) {
          SetText(IDC_PROJECT_LOCATION, base_ + "\\" + Text(IDC_PROJECT_NAME));
          autoFill_ = true;
        }
        return true;
      case IDC_PROJECT_LOCATION:
        if (code == EN_CHANGE) autoFill_ = false;
        return true;
      case IDC_PROJECT_BROWSE: {
        std::string folder;
        if (BrowseForFolder(Handle(), base_, "Browse for project folder", folder, 0, nullptr)) {
          SetText(IDC_PROJECT_LOCATION, folder);
          base_ = folder;
          autoFill_ = true;
        }
        return true;
      }
      case IDOK:
        OnOk();
        return true;
    }
    return ProjectDialog::OnCommand(id, code);
  }

 private:
  void OnOk() {
    std::string name;
    if (!TakeField(IDC_PROJECT_NAME, name, "Invalid project name specified", IsUsableProjectName)) return;
    // The project file's path must fit a path buffer as well.
    const std::string location = Text(IDC_PROJECT_LOCATION);
    if (location.empty() || location.size() + 1 + name.size() + 4 > static_cast<std::size_t>(kMaxField)) {
      ShowError("Invalid project path specified");
      return;
    }
    name_ = name;
    location_ = location;
    End(1);
  }

  std::string& name_;
  std::string& location_;
  std::string base_;  // the folder the typed name is appended to
  bool autoFill_ = false;
};

// ---- Project Settings ----

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

// A name that reads back as a section header would be lost at the next load; empty is allowed.
bool IsUsableSettingsName(const std::string& name) { return name.empty() || IsUsableProjectName(name); }
bool ReadsBackAsValue(const std::string& text) {
  ProjectSection section;
  return KindOfLine(text, section) != LineKind::kHeader;
}

class ProjectSettingsDialog : public ProjectDialog {
 public:
  explicit ProjectSettingsDialog(Project& project) : project_(project) {}

 protected:
  bool OnInit() override {
    CentreOverOwner();
    LimitFields({IDC_PROJECT_NAME, IDC_PROJECT_OUTPUTNAME, IDC_PROJECT_OUTPUTPATH});
    Enable(IDC_PROJECT_ABSOLUTE, false);
    if (project_.loaded) {
      SetText(IDC_PROJECT_NAME, project_.projectName);
      SetText(IDC_PROJECT_OUTPUTNAME, project_.outputName);
      SetText(IDC_PROJECT_OUTPUTPATH, project_.outputPath);
      SetText(IDC_PROJECT_INCLUDEFOLDERS, FoldersText(project_.includeFolders));
    } else {
      for (int id : {IDC_PROJECT_NAME, IDC_PROJECT_OUTPUTNAME, IDC_PROJECT_OUTPUTPATH, IDC_PROJECT_BROWSEOUTPUT,
                     IDC_PROJECT_INCLUDEFOLDERS})
        Enable(id, false);
    }
    return true;
  }
  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDOK:
        OnOk();
        return true;
      case IDC_PROJECT_BROWSEOUTPUT: {
        std::string folder;
        if (BrowseForFolder(Handle(), FullFolder(project_, project_.outputPath), "Browse for output folder", folder, 0,
                            nullptr))
          SetText(IDC_PROJECT_OUTPUTPATH, folder);
        return true;
      }
    }
    return ProjectDialog::OnCommand(id, code);
  }

 private:
  void OnOk() {
    if (!project_.loaded) {
      End(1);
      return;
    }
    std::string name, outputName, outputPath;
    if (!TakeField(IDC_PROJECT_NAME, name, "Invalid project name specified", IsUsableSettingsName) ||
        !TakeField(IDC_PROJECT_OUTPUTNAME, outputName, "Invalid output file name specified", ReadsBackAsValue) ||
        !TakeField(IDC_PROJECT_OUTPUTPATH, outputPath, "Invalid output directory specified", ReadsBackAsValue))
      return;
    const std::vector<std::string> folders = FoldersFromText(Text(IDC_PROJECT_INCLUDEFOLDERS));
    for (const std::string& folder : folders) {
      if (static_cast<int>(folder.size()) > kMaxField || !ReadsBackAsValue(folder)) {
        ShowError(("Invalid include folder specified: " + folder.substr(0, 80)).c_str());
        return;
      }
    }
    project_.SetProjectName(name, project_.ProjectFile());
    project_.SetOutputName(outputName);
    project_.SetOutputPath(outputPath);
    project_.SetIncludeFolders(folders);
    if (!MakeOutputFolder(project_))
      MessageBoxA(Handle(), "Unable to create output directory", outputPath.c_str(), MB_OK | MB_ICONERROR);
    End(1);
  }

  Project& project_;
};

}  // namespace

bool RunNewProjectDialog(HWND frame, std::string& name, std::string& location) {
  return NewProjectDialog(name, location).RunModal(frame, IDD_NEWPROJECT) == 1;
}

void ProjectSettingsCommand(HWND frame, Project& project) {
  ProjectSettingsDialog(project).RunModal(frame, IDD_PROJECTSETTINGS);
}

}  // namespace quillon
