// Process-wide state of the running program, read by every window of it.
#pragma once

#include <windows.h>

#include <string>

#include "base/settings.h"
#include "base/syntax_table.h"

namespace quillon {

class Project;
class OutputPane;
class FilePane;
struct SearchState;

struct AppState {
  HINSTANCE instance = nullptr;
  std::string richEditClass;  // "RichEdit20A", "RichEdit" or empty
  HWND mdiClient = nullptr;
  HWND statusBar = nullptr;
  HWND toolBar = nullptr;
  int frameBorder = 0;  // the system's sizing-frame width
  HWND activeDocument = nullptr;
  Project* project = nullptr;        // the one project, owned by the frame
  OutputPane* outputPane = nullptr;  // owned by the frame
  FilePane* filePane = nullptr;      // the project's view, owned with the project
  SearchState* search = nullptr;     // the find text and replacement, owned by the frame
  HANDLE buildThread = nullptr;
};

extern AppState g_app;

// The keywords and their colours, read from syntax.cfg at start-up.
extern SyntaxTable g_syntaxTable;

// The user's preferences; loaded before the entry runs, written after it returns.
extern Settings g_settings;
// The registry key (under HKEY_CURRENT_USER) they are kept under: kSettingsKeyPath, unless the
// program defines this constant itself, as the GUI tests do so that a test run never reads or
// changes the user's settings.
extern const char* const kProcessSettingsKey;
// Writes the preferences now, as the end of the process would (the session is ending).
void WriteSettingsNow();

// The frame window (the parent of the MDI client), or none.
HWND FrameWindow();

// Private message posted by the build worker when it has finished.
inline constexpr UINT WM_BUILD_FINISHED = WM_APP + 1;

inline constexpr const char* kFrameClass = "QUILLON_FRAME";
inline constexpr const char* kDocumentClass = "QUILLON_CHILD";
inline constexpr const char* kFrameTitle = "Quillon Intellivision IDE";

}  // namespace quillon
