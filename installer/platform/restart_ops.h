// Restart-time renames and deletions: the Installer's replacements of files
// in use and its temporary copies, the uninstaller's files in use and itself.
#pragma once
#include <stdint.h>

// At the next restart moves existingPath to newPath, or deletes it (newPath
// null): MoveFileExA on the NT family, WININIT.INI on the 9x family. 0 when
// it was recorded (the 9x family's profile writes are not checked).
int MoveFileAtRestart(const char* newPath, const char* existingPath);

// The 9x family's way: entries in the [Rename] section of the given
// WININIT.INI. newPath null asks for a deletion.
void RecordRestartRename(const char* iniPath, const char* newPath, const char* existingPath);

// The profile functions keep one value per key, so a deletion is first
// written under the placeholder key "xyz" and then turned into a "NUL=" line
// in the text itself. Changes the first line "xyz=<path>" (key in any case,
// the whole rest of the line equal to path) of text[0, length) to
// "NUL=<path>"; 1 when a line was changed.
int MarkDeletionLine(char* text, uint32_t length, const char* path);
