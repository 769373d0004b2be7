// F7: saves, makes sure the assembler is known, and runs it on a worker thread.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// Command 40038. Refuses, with a line in the output pane, while a build is running. True when a
// worker was started; it posts WM_BUILD_FINISHED at its end.
bool StartBuild(HWND frame);

// True when the last build's assembler ended with exit code 0 and its listing had no error line.
bool LastBuildSucceeded();

// Asks until an assembler path is set. OK leads back to the test; Cancel ends this attempt
// (false), and the next attempt asks again.
bool AskForAssemblerPath(HWND frame);

// The program's full path: a path with a folder part is taken in `directory` (the folder the
// program runs in); a bare name is looked for there, then where the system looks for programs.
// Empty when a bare name is found nowhere.
std::string FullProgramPath(const std::string& programPath, const std::string& directory);

// Removes the listing an earlier build left; true when it is gone or was never there.
bool RemoveOldListing(const std::string& listing);

// Ends the running assembler, if any; the worker then reports "Build stopped.".
void StopBuild();

// Before the frame closes: with a build running, asks whether to stop it. Yes stops it and
// waits briefly for the worker; false (No) means the frame stays open.
bool StopBuildBeforeClose(HWND frame);

// Waits at most `milliseconds` for the worker to end, carrying out what it asks of the
// user-interface thread meanwhile; releases it when it ended. True when no worker is left.
bool JoinBuild(DWORD milliseconds);

}  // namespace quillon
