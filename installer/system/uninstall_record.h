// The record of an installation, appended to the installed uninstaller.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "platform/files.h"

// A u16 length (cut to 16 bits) and the bytes, no terminator. 0 when written.
int WriteStringField(FileHandle file, const char* text);
// A files or shortcuts block: BeginRecordBlock writes room for its header
// and count and returns where it starts (kSeekFailed when it could not);
// EndRecordBlock fills them in once the records are written and leaves the
// file at its end.
uint32_t BeginRecordBlock(FileHandle file);
void EndRecordBlock(FileHandle file, uint32_t start, uint16_t id, uint32_t count);
// One FileRecord for the path in setup.workPath: its folder (relative to the
// installation folder when inside it), name and kind flags. 0 when written.
int WriteFileRecord(Setup& setup, FileHandle file, uint8_t kindFlags);
// The file that holds the record of the uninstaller at `uninstaller`: the
// uninstaller itself, or the file beside it where the package keeps a
// signed uninstaller's record (260 bytes). False when it does not fit.
bool UninstallRecordPath(const Setup& setup, const char* uninstaller, char* out);
// Opens the installed uninstaller's record file and writes the files block in place of
// its end header. INVALID_FILE, and the file left as it was, when there is
// no uninstaller or it does not end in an end header.
FileHandle BeginUninstallRecord(Setup& setup);
// The current type's sections, the closing end header, and the file closed.
void EndUninstallRecord(Setup& setup, FileHandle record);
