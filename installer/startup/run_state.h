// Process-wide run state shared by the subsystems.
#pragma once
#include <stdint.h>

#include "platform/files.h"
#include "startup/codes.h"

inline constexpr uint32_t kWorkPathSize = 520;

// Options of the command line.
struct CommandOptions {
  int resumeType;      // /B<n>: n >= 1 resumes after a restart with type n - 1
  bool deleteSelf;     // /DEL: running from a temporary copy
  bool acceptDamaged;  // /R: accept data that fails its size or checksum test
  bool verbose;        // /V: recorded only
};

extern CommandOptions Options;
extern bool RunAtEnd;         // /N clears it
extern bool SinglePageMode;   // the package asks for one page only
extern int SinglePageKind;
extern bool RestartNeeded;
extern bool UserCancelled;
extern int ResultCode;        // a kResult code, 0 none
extern int RunOnceNumber;     // next number of a RunOnce value, for the whole run

// The shared path buffers; null until AllocatePathBuffers.
extern char* OwnPath;          // the file that holds the package
extern char* PackagePath;      // copy made by LoadPackage, base of volume names
extern char* InstallFolder;
extern char* WorkPath;         // kWorkPathSize bytes
extern char* TempPath;         // also the candidate folder while detecting
extern char* ErrorArgument;
extern char* UninstallerPath;

// 1 when all seven buffers were allocated zero-filled.
int AllocatePathBuffers();
void FreePathBuffers();
// Back to the state of a fresh process (the tests run many "processes").
void ResetRunState();
