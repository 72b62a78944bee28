#pragma once
#include <windows.h>

#include "base/setup.h"

// The system's folder chooser, starting at the folder in buffer (260 bytes);
// 1 with the chosen folder in buffer.
int BrowseForFolder(Setup& setup, HWND owner, char* buffer);
