// What the process acquires at start and gives back at the end.
#pragma once
#include <windows.h>

#include "base/setup.h"

// 1, or 0 when another instance is running (it is brought to the front).
int InitInstance(Setup& setup, HINSTANCE instance);
// Whether another setup program is installing on this machine, with or
// without a window; otherwise this one holds the mark until it ends.
bool OtherSetupRunning();
void ReleaseInstance(Setup& setup);
// Restricts visual styles to window frames, when uxtheme allows it.
void ApplyThemePreference(Setup& setup);
