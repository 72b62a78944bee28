// The background window and the wizard around it.
#pragma once
#include <windows.h>

#include "base/setup.h"
#include "format/stub_resources.h"

inline constexpr char kMainWindowClass[] = "WrenlyClass";
inline constexpr int kIconResource = (int)wrenly::format::kStubIconGroup;
inline constexpr int kRestartDialog = 131;

// Nonzero when the window class was registered.
int RegisterMainWindowClass(Setup& setup);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Zero on failure.
int CreateMainWindow(Setup& setup);
void PaintBackground(Setup& setup, HWND window);
void RunWizard(Setup& setup);
INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
