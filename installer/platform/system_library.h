// System DLLs that the Installer loads itself. setup.exe usually runs from a
// Downloads folder, where a page may have left a DLL of the same name; only
// the system folder is trusted.
#pragma once
#include <windows.h>

// Makes the system folder the only place a DLL named without a folder is
// looked for, for this process and the system's own DLLs in it. Windows 8
// and later, or Vista and 7 with the update that brought the search flags;
// elsewhere nothing changes. First thing in WinMain.
void RestrictDllSearch();
// The system folder's DLL of that name, or null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);
// The function of a DLL, or null; module may be null.
void* SystemFunction(HMODULE module, const char* name);
// A kernel32 function that older systems may lack, or null.
void* KernelFunction(const char* name);
// Registers the progress bar's class from the system's comctl32. Windows 95
// without Internet Explorer 3 lacks InitCommonControlsEx; Common Controls 6
// needs it.
void RegisterProgressBarClass();
