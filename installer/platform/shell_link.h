// Shortcut files, written through the shell's link object.
#pragma once
#include <stdint.h>

// Saves linkPath (a buffer of 260 bytes) as a shortcut to target, its working
// folder the target's folder. arguments and iconPath may be empty. When the
// shell saved the file under another extension (".pif" for an MS-DOS
// program), linkPath's extension is corrected in place. Returns the save's
// result: negative is failure.
int32_t CreateShellLink(const char* target, char* linkPath, const char* arguments, const char* iconPath, int iconIndex);
