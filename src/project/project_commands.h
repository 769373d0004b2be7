// The project commands of the frame: open, switch, ask to save, and the project of a dropped file.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

class Project;

// The program's one project and its file pane, created with the frame (g_app.project and
// g_app.filePane); the pane may be missing when its window could not be made.
void CreateAppProject(HWND frame);
// Destroys both, the pane first.
void DestroyAppProject();

// When the project has changed: asks "save?" (Yes/No/Cancel) and saves on Yes. False on Cancel or
// when the save failed: the project stays, and whatever asked stops.
bool AskToSaveProject(HWND owner);
// The project question, then closing every document with its question. False when the user
// cancelled one of them (the documents then all stay open).
bool MayCloseProjectAndDocuments(HWND owner);
// Saves the loaded project; a file that cannot be written is reported by name. True when saved
// or when there is nothing to save.
bool SaveProjectOrReport(HWND owner);
// Asks to save the current project, closes the documents and loads `path`, which then becomes the
// newest recent project. A file that cannot be read is reported and changes nothing. True when loaded.
bool OpenProjectFile(HWND owner, const std::string& path);
// OpenProjectFile with the frame as owner.
void SwitchToProject(const std::string& path);
// Command "Open Project...": choose a project file and switch to it.
void OpenProjectCommand(HWND owner);
// Command "New Project": asks for a name and folder, then creates the project file and loads it.
// An existing file of that name is replaced only when the user agrees.
void NewProjectCommand(HWND frame);
// A project file dropped on the frame: a switch.
void OpenDroppedProject(HWND frame, const std::string& path);
// The files of the command line (`quillon.exe file.asm other.inc`, `quillon.exe game.qlp`), or
// the project open at the last exit when the setting says so.
void OpenFilesAtStart(HWND frame, const std::string& commandLine);
// Command "Close Project": asks to save a changed project (Yes/No/Cancel), closes the documents
// (asking about each changed one) and leaves no project. False when cancelled or not saved.
bool CloseProjectCommand(HWND frame);

// True when `path` ends in ".qlp" in any letter case (the text from its last '.').
bool IsProjectFileName(const std::string& path);

}  // namespace quillon
