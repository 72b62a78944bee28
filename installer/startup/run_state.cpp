#include "startup/run_state.h"

#include "platform/files.h"

CommandOptions Options;
bool RunAtEnd = true;
bool SinglePageMode;
int SinglePageKind;
bool RestartNeeded;
bool UserCancelled;
int ResultCode;
int RunOnceNumber;

char* OwnPath;
char* PackagePath;
char* InstallFolder;
char* WorkPath;
char* TempPath;
char* ErrorArgument;
char* UninstallerPath;

namespace {
struct PathBuffer {
  char** ref;
  uint32_t size;
};
const PathBuffer kBuffers[] = {
    {&OwnPath, kPathSize},  {&PackagePath, kPathSize},   {&InstallFolder, kPathSize},
    {&WorkPath, kWorkPathSize}, {&TempPath, kPathSize}, {&ErrorArgument, kPathSize},
    {&UninstallerPath, kPathSize},
};
}  // namespace

int AllocatePathBuffers() {
  int ok = 1;
  for (const PathBuffer& b : kBuffers)
    if (!*b.ref && !AllocZeroed(b.size, b.ref)) ok = 0;
  return ok;
}

void FreePathBuffers() {
  for (const PathBuffer& b : kBuffers) FreeBuffer(b.ref);
}

void ResetRunState() {
  Options = CommandOptions{};
  RunAtEnd = true;
  SinglePageMode = false;
  SinglePageKind = 0;
  RestartNeeded = false;
  UserCancelled = false;
  ResultCode = 0;
  RunOnceNumber = 0;
}
