// Restart-time renames and deletions. MoveFileAtRestart itself is declared
// with the temporary copy, its other user.
#pragma once
#include <stdint.h>

#include "startup/temp_copy.h"

// The 9x family's way: entries in the [Rename] section of the given
// WININIT.INI. newPath null asks for a deletion.
void RecordRestartRename(const char* iniPath, const char* newPath, const char* existingPath);

// The profile functions keep one value per key, so a deletion is first
// written under the placeholder key "xyz" and then turned into a "NUL=" line
// in the text itself. Changes the first line "xyz=<path>" (key in any case,
// the whole rest of the line equal to path) of text[0, length) to
// "NUL=<path>"; 1 when a line was changed.
int MarkDeletionLine(char* text, uint32_t length, const char* path);
