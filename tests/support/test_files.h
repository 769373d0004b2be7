// Files and drops for the GUI tests.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace quillon::test {

// A folder under the temporary folder, created when missing.
std::string TempFolder(const std::string& name);
// Writes the bytes as they are (any read-only mark removed first).
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
// How many processes running `exeName` (compared ignoring case) the process `parentId` started.
int ChildProcessCount(DWORD parentId, const std::string& exeName);
// The drop handle the shell hands to a window for these files.
HDROP MakeDrop(const std::vector<std::string>& files);

}  // namespace quillon::test
