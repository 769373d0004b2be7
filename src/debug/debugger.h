// The Debug menu: Start Debugging saves and builds as F7 does, then runs the image in the
// simulator on a worker thread; stopped, the IDE shows the current line and the panes.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Private messages the debugger's worker posts to the frame.
inline constexpr UINT WM_DEBUG_STOPPED = WM_APP + 34;
inline constexpr UINT WM_DEBUG_NOTE = WM_APP + 35;

// Commands IDM_DEBUG_START to IDM_DEBUG_PANES. True when `id` is one of them.
bool DebugCommand(HWND frame, int id);
// After a build worker ended: when the build was Start Debugging's and it succeeded, starts the run.
void DebugBuildFinished(HWND frame);
// The frame hands the worker's messages here; true when taken.
bool DebugMessage(HWND frame, UINT message, WPARAM wParam);
// Greys the Debug menu's commands that cannot run now.
void UpdateDebugCommands(HWND frame);
// Before the frame closes, or on Stop Debugging: ends a running program and the session. The
// worker is gone when this returns true.
bool EndDebugging();
// The project's breakpoints, when another project was opened since they were last read.
void SyncBreakpointsWithProject();
// A document's text changed: its breakpoints take the lines their gutter marks moved to.
void BreakpointsFollowMarks(const std::string& path);
// Toggles the breakpoint on `line` of `path` (a gutter click).
void ToggleBreakpointAt(const std::string& path, int line);

// What the tests read back.
enum class DebugState { kIdle, kBuilding, kRunning, kStopped };
DebugState CurrentDebugState();
bool DebugWorkerAlive();
// The breakpoint lines of a file.
std::string DebugBreakpointLines(const std::string& path);

}  // namespace quillon
