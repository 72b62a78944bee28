// What happens to an existing destination file: version and language
// questions, damaged data, replacement now or at the next restart, and the
// count of shared files. All work on the destination path in setup.workPath.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "format/file_entry.h"
#include "platform/file_system.h"

// The question asked, returning the button pressed.
typedef int (*AskFunction)(Setup& setup, const char* text, unsigned style, int unattended);

// 1 replace, 0 keep: the version rules over the existing file's facts.
// newerText empty keeps a newer file silently; languageText is asked even
// when empty.
int DecideFileVersion(Setup& setup, const FileVersionFacts& existing, const wrenly::format::FileEntryView& entry,
                      const char* newerText, const char* languageText, const char* path, AskFunction ask);
// The same for the file in setup.workPath; no version resource means replace.
int CheckFileVersion(Setup& setup, const wrenly::format::FileEntryView& entry);

// 1 accept the file, 0 stop (kResultFileDamaged set). /R accepts without asking.
int ConfirmDamagedFile(Setup& setup);

// Puts the temporary file in the destination's place and sets the entry's
// status to 23, 25 or 500. Returns 0, or the result code when the file
// could not be put in place (kResultCannotWrite, with the destination as error argument);
// the old file is then still there.
int ReplaceDestinationFile(Setup& setup, const wrenly::format::FileEntryView& entry, const char* tempName);
// A destination that cannot be replaced now: identical content is left
// alone (23), anything else waits for the restart (500). 0, or
// kResultCannotWrite when the restart may not replace it (a run without
// administrator rights).
int ResolveLockedFile(Setup& setup, const wrenly::format::FileEntryView& entry, const char* tempName);

// Raises the SharedDLLs count of the destination by one.
void AddSharedFileReference(Setup& setup);

void SetEntryStatus(const wrenly::format::FileEntryView& entry, uint16_t status);
