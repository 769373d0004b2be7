// F7: saves, makes sure the assembler is known, and runs it on a worker thread.
#pragma once

#include <windows.h>

namespace quillon {

// Command 40038. Refuses, with a line in the output pane, while a build is running.
void StartBuild(HWND frame);

// Ends the running assembler, if any; the worker then reports "Build stopped.".
void StopBuild();

// Before the frame closes: with a build running, asks whether to stop it. Yes stops it and
// waits briefly for the worker; false (No) means the frame stays open.
bool StopBuildBeforeClose(HWND frame);

// Waits at most `milliseconds` for the worker to end, carrying out what it asks of the
// user-interface thread meanwhile; releases it when it ended. True when no worker is left.
bool JoinBuild(DWORD milliseconds);

}  // namespace quillon
