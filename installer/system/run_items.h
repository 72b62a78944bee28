// Starting the programs and documents the package marks for it.
#pragma once
#include <stdint.h>

#include "base/codes.h"
#include "base/setup.h"
#include "format/file_entry.h"

// Starts the current type's entries of RunKind `kind` that `pass` selects,
// in this run or the run resumed after a restart (`after`, a RunTime).
void RunItems(Setup& setup, int kind, int pass, int after);
// Whether any entry must wait for the run after a restart.
int HasItemsAfterRestart(Setup& setup);
// Starts program with arguments, waiting for its end when asked; 1 when it started.
int RunProgram(Setup& setup, const char* program, const char* arguments, int wait);

// Whether an entry with these flags runs at the moment (kind, pass, after).
bool RunsAtMoment(uint32_t flags, int kind, int pass, int after, bool restartNeeded);
// "\"program\" arguments", or the quoted program alone, in a new buffer
// (FreeBuffer); null when memory ran out.
char* NewProgramCommand(const char* program, const char* arguments);
