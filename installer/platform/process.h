// Starting programs and opening files through the system.
#pragma once
#include <stdint.h>

enum ShowCommand { kShowNormal = 1, kShow = 5 };

// The system's result for a command line: above 31 when it started.
int StartCommand(const char* command, int show);
// Opens a file or address with its registered program; above 32 on success.
intptr_t ShellOpen(const char* file);

typedef void* ProcessHandle;
// A started process, or null. command may be changed by the system; show,
// when not -1, is a ShowCommand for its first window.
ProcessHandle StartProcess(char* command, int show = -1);
// Waits until the process ends (true) or window input arrives (false).
bool WaitProcessOrInput(ProcessHandle process);
void CloseProcess(ProcessHandle process);
// Waits, without windows to serve, until the process ends; its exit code.
uint32_t WaitForExitCode(ProcessHandle process);
