// The original and its temporary copy. A running program's file cannot be
// deleted, so the original waits while a copy of it in a folder of its own
// removes the product, then the original and the installation folder.
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/restart_ops.h"
#include "platform/system.h"
#include "uninstaller/win/program.h"

namespace wrenly::uninstaller {
namespace {
constexpr int kNameTries = 8;

// A new folder of its own in the temporary folder: a folder that exists
// already may be anyone's, so a name that is taken is never used.
int MakeOwnFolder(char* folder) {
  char temp[MAX_PATH];
  if (!GetTempFolder(temp)) return 0;
  int n = lstrlenA(temp);
  if (n > 0 && temp[n - 1] == '\\') temp[--n] = 0;
  if (n + 32 >= MAX_PATH) return 0;
  for (int i = 0; i < kNameTries; ++i) {
    uint32_t random[2];
    if (!RandomBytes(random, sizeof random)) return 0;
    wsprintfA(folder, "%s\\wrenly-%08X%08X", temp, random[0], random[1]);
    if (MakeFolder(folder) == 0) return 1;
  }
  return 0;
}

const char* FileName(const char* path) {
  const char* name = path;
  for (const char* c = path; *c; ++c)
    if (*c == '\\') name = c + 1;
  return name;
}

// Starts the copy with the pipe's write end and this process inherited.
ProcessHandle StartCopy(const Program& p, const char* copy, void* writeEnd) {
  UninstallCommand command = p.command;
  command.copy = true;
  command.pipe = (uintptr_t)writeEnd;
  void* self = InheritableOwnProcess();
  command.process = (uintptr_t)self;
  lstrcpynA(command.original, p.ownPath, sizeof command.original);
  char line[3 * MAX_PATH];
  ProcessHandle child = nullptr;
  if (self && FormatCopyCommand(copy, command, line, sizeof line)) child = StartProcess(line);
  if (self) CloseSystemHandle(self);
  return child;
}

// A byte at a time: a pipe may hand over part of what was written.
int ReadMessage(void* pipe, uint32_t* message) {
  uint8_t* bytes = (uint8_t*)message;
  for (uint32_t i = 0; i < sizeof *message; ++i)
    if (FileRead(pipe, bytes + i, 1)) return 0;
  return 1;
}
}  // namespace

int HandOver(Program* p, UndoRun* run, uint32_t* result) {
  char folder[MAX_PATH], copy[2 * MAX_PATH];
  if (!MakeOwnFolder(folder)) return 0;
  wsprintfA(copy, "%s\\%s", folder, FileName(p->ownPath));
  void *readEnd = nullptr, *writeEnd = nullptr;
  ProcessHandle child = nullptr;
  if (lstrlenA(copy) < MAX_PATH && CopyToNewFile(p->ownPath, copy) && CreateResultPipe(&readEnd, &writeEnd)) {
    child = StartCopy(*p, copy, writeEnd);
    // Only the copy may hold the write end now: its end breaks the pipe.
    CloseSystemHandle(writeEnd);
  }
  int finished = 0;
  uint32_t message;
  while (child && !finished && ReadMessage(readEnd, &message)) finished = TakeCopyMessage(run, message, result);
  if (readEnd) CloseSystemHandle(readEnd);
  if (finished) return CloseProcess(child), 1;
  // The copy ended without a result (or never ran): once it is gone its
  // file can go, and the original goes on from the step it was in.
  if (child) WaitForProcess(child), CloseProcess(child);
  RemoveFile(copy);
  RemoveEmptyFolder(folder);
  SkipInterruptedStep(run);
  return 0;
}

void FinishAsCopy(Program* p, UndoRun* run, uint32_t result) {
  void* pipe = (void*)(uintptr_t)p->command.pipe;
  void* original = (void*)(uintptr_t)p->command.process;
  FileWrite(pipe, &result, sizeof result);
  CloseSystemHandle(pipe);
  WaitForProcess(original);
  CloseSystemHandle(original);
  const char* atRestart = nullptr;
  if (RemoveFile(p->originalPath) == kRemoveInUse && MoveFileAtRestart(nullptr, p->originalPath) == 0)
    atRestart = p->originalPath;
  // The record beside a signed original goes with it.
  char beside[MAX_PATH];
  if (format::RecordFileBeside(p->originalPath, beside, sizeof beside) && RemoveFile(beside) == kRemoveInUse)
    MoveFileAtRestart(nullptr, beside);
  RetryFolders(run, p->installFolder, atRestart);
  // This copy and its folder, in that order.
  MoveFileAtRestart(nullptr, p->ownPath);
  if (!IsNtFamily()) return;  // WININIT.INI deletes files only
  char folder[MAX_PATH];
  lstrcpyA(folder, p->ownPath);
  *(char*)FileName(folder) = 0;
  if (lstrlenA(folder) > 3) folder[lstrlenA(folder) - 1] = 0;
  MoveFileAtRestart(nullptr, folder);
}

void FinishInPlace(Program* p, UndoRun* run) {
  MoveFileAtRestart(nullptr, p->ownPath);
  char beside[MAX_PATH];
  if (format::RecordFileBeside(p->ownPath, beside, sizeof beside) && PathAttributes(beside) != kNoAttributes)
    MoveFileAtRestart(nullptr, beside);
  RetryFolders(run, p->installFolder, p->ownPath);
}

}  // namespace wrenly::uninstaller
