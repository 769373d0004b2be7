// The common open and save file choosers and the folder browser.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// `filter` is a list of description and pattern pairs, each NUL-terminated, ending in an extra NUL.
// `path` holds the initial file name on entry and, when the user confirmed, the chosen full path;
// `fileTitle`, when given, then receives the chosen name without its folder. Paths longer than
// 259 characters are cut on entry; the chooser refuses to return a longer one. False when the
// user cancelled or the chooser failed; `path` and `fileTitle` are then left as they were.
bool ChooseFileToOpen(HWND owner, const std::string& initialFolder, const char* filter, std::string& path,
                      std::string* fileTitle, const char* title);
// The same for a file to write: no existence check; replacing an existing file asks first.
bool ChooseFileToSave(HWND owner, const std::string& initialFolder, const char* filter, std::string& path,
                      std::string* fileTitle, const char* title);

// Lets the user pick a file-system folder, opening with `initialFolder` selected. `rootFolder`,
// when given, is the top of the tree shown. True when a folder was chosen; `path` then holds it.
// False when cancelled or when the choice has no file-system path; `path` is then left as it was.
bool BrowseForFolder(HWND owner, const std::string& initialFolder, const char* title, std::string& path,
                     UINT extraFlags, const char* rootFolder);

}  // namespace quillon
