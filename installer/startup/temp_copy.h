// Running from a temporary copy; it removes itself through MoveFileAtRestart.
#pragma once
#include "base/setup.h"
#include "platform/files.h"
#include "platform/restart_ops.h"

// 1 when a temporary copy took over the run (or was registered to run after
// the restart). A copy that runs at once is waited for, so that whoever
// started this program waits for the whole installation; *copyExit gets its
// exit code.
int LaunchTempCopy(Setup& setup, int showCommand, bool atRestart, int* copyExit = nullptr);
// Creates a new file in the temporary folder named by format ("%d" the first
// number from 1 to 998 whose name is free); its path is left in path (260
// bytes). INVALID_FILE when none could be created.
FileHandle CreateUniqueTempFile(char* path, const char* format);
