// Running from a temporary copy, and restart-time file operations.
#pragma once

// 1 when a temporary copy took over the run (or was registered to run after
// the restart).
int LaunchTempCopy(int showCommand, bool atRestart);
// At the next restart moves existingPath to newPath, or deletes it.
void MoveFileAtRestart(const char* newPath, const char* existingPath);
