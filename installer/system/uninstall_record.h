// The record of an installation, appended to the installed uninstaller.
#pragma once
#include "platform/files.h"

// A u16 length (cut to 16 bits) and the bytes, no terminator. 0 when written.
int WriteStringField(FileHandle file, const char* text);
