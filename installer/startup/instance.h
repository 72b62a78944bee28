// What the process acquires at start and gives back at the end.
#pragma once
#include <windows.h>

extern HINSTANCE Instance;
extern bool NtFamily;
extern bool Nt4;
extern bool RichEdit2;
extern int ScreenWidth;
extern int ScreenHeight;

// 1, or 0 when another instance is running (it is brought to the front).
int InitInstance(HINSTANCE instance);
void ReleaseInstance();
// Restricts visual styles to window frames, when uxtheme allows it.
void ApplyThemePreference();
