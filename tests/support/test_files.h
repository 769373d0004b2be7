// Files, drops and processes for the GUI and smoke tests.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace quillon::test {

// A folder under the temporary folder, created when missing.
std::string TempFolder(const std::string& name);
// The folder of the running test program; the program, its helpers and the stand-in assembler
// are built beside it.
std::string ProgramFolder();
bool Exists(const std::string& path);
// Writes the bytes as they are (any read-only mark removed first).
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
// Starts `commandLine` in `folder` (empty: this process's current folder); false when it could not
// start. The caller closes the process and thread handles.
bool StartProcess(const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION* started);
// How many processes running `exeName` (compared ignoring case) the process `parentId` started.
int ChildProcessCount(DWORD parentId, const std::string& exeName);
// The first process running `exeName` (any program when empty) that `parentId` started, or 0.
DWORD ChildProcessId(DWORD parentId, const std::string& exeName);
// The drop handle the shell hands to a window for these files.
HDROP MakeDrop(const std::vector<std::string>& files);

}  // namespace quillon::test
