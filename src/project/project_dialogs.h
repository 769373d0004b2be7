// The New Project and Project Settings dialogs.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

class Project;

// Asks for a project name and a location folder. True after OK, with both filled; false after Cancel.
bool RunNewProjectDialog(HWND frame, std::string& name, std::string& location);
// Command "Project Settings": edits the loaded project's name, output name and output folder,
// and creates a new output folder at once.
void ProjectSettingsCommand(HWND frame, Project& project);

}  // namespace quillon
