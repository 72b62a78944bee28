// Start-menu shortcuts, made all together by the completion step.
#pragma once
#include "platform/files.h"

// Makes the Start-menu shortcuts of every entry of the current type and,
// when record is not INVALID_FILE, appends their shortcuts block to it.
void CreateStartMenuShortcuts(FileHandle record);
