// Trailing-backslash rules and folder creation.
#pragma once
#include <stdint.h>

// Adds one backslash to a non-empty path that does not end with one.
void AppendBackslash(char* path);
// Removes one trailing backslash when the path is longer than 3 bytes, so a
// drive root keeps its backslash.
void StripBackslash(char* path);
// The extension of the last component ("." and what follows), or null.
const char* FileExtension(const char* path);
// Copies a, b and c back to back into out when they fit whole, with the
// terminator, in size bytes (out may be a); false (out unchanged) when they
// do not.
bool JoinText(char* out, uint32_t size, const char* a, const char* b, const char* c = "");
// Creates every missing folder of the folder part of path. 0 on success, 1
// when a folder could neither be entered nor created, -1 out of memory. The
// current directory is left in the deepest folder entered.
int CreateFolderChain(const char* path);
