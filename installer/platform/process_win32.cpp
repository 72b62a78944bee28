// Win32 side of starting programs.
#include "platform/process.h"

#include <windows.h>

int StartCommand(const char* command, int show) { return (int)WinExec(command, (UINT)show); }

intptr_t ShellOpen(const char* file) {
  return (intptr_t)ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOW);
}

ProcessHandle StartProcess(char* command, int show) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (show != -1) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
  }
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

bool WaitProcessOrInput(ProcessHandle process) {
  HANDLE handle = process;
  return MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1;
}

void CloseProcess(ProcessHandle process) { CloseHandle(process); }

uint32_t WaitForExitCode(ProcessHandle process) {
  DWORD code = 0;
  WaitForSingleObject(process, INFINITE);
  GetExitCodeProcess(process, &code);
  return code;
}
