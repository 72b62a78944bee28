#include "system/run_items.h"

#include "base/display.h"
#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/file_entry.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/system.h"
#include "system/open_document.h"
#include "text/command_text.h"
#include "text/path_services.h"
#include "text/path_variables.h"

namespace wf = wrenly::format;

namespace {

uint32_t RunKind(uint32_t flags) { return (flags & wf::kFlagRunKindMask) >> wf::kRunKindShift; }

// Calls f for each entry of the current type's table, in table order.
template <class F>
void ForEachEntry(Setup& setup, F f) {
  const uint8_t* at = setup.package.firstEntry;
  wf::FileEntryView e;
  for (uint32_t i = 0; i < setup.package.entryCount && FindFileEntry(setup, at, &e); ++i, at += e.recordSize)
    if (!f(e)) return;
}

void OpenEntryDocument(const char* path) {
  FileHandle file = FileOpen(path, kFileRead);
  if (file == INVALID_FILE) return;
  FileClose(file);
  char shortPath[kPathSize];
  GetShortPath(path, shortPath);
  const char* extension = FileExtension(path);
  OpenDocument(shortPath, extension ? extension : ".");
}

// The program runs in its own folder, which stays the current one.
void EnterProgramFolder(const char* path) {
  char folder[kWorkPathSize];
  uint32_t cut = 0;
  for (uint32_t i = 0; path[i] && i + 1 < sizeof folder; ++i)
    if ((folder[i] = path[i]) == '\\') cut = i + 1;
  folder[cut] = 0;
  StripBackslash(folder);
  if (*folder) EnterFolder(folder);
}

void RunEntryProgram(Setup& setup, const char* path, const wf::FileEntryView& e) {
  EnterProgramFolder(path);
  char shortPath[kPathSize];
  GetShortPath(path, shortPath);
  const char* item = e.strings[wf::kItemRunArgs];
  char* arguments = nullptr;
  if (*item) {
    uint32_t n = ExpandPathVariables(setup, nullptr, item, 0) + 1;
    if (!AllocBuffer(n, &arguments)) return;
    ExpandPathVariables(setup, arguments, item, n);
  }
  const char* args = arguments ? arguments : "";
  if (e.flags & wf::kFlagRunWait) {
    RunProgram(setup, shortPath, args, 1);
  } else if (char* command = NewProgramCommand(shortPath, args)) {
    StartCommand(command, kShowNormal);
    FreeBuffer(&command);
  }
  FreeBuffer(&arguments);
}

}  // namespace

bool RunsAtMoment(uint32_t flags, int kind, int pass, int after, bool restartNeeded) {
  bool document = flags & wf::kFlagRunDocument;
  if ((pass == kRunProgramsOnly && document) || (pass == kRunDocumentsOnly && !document) ||
      RunKind(flags) != (uint32_t)kind)
    return false;
  if (kind == wf::kRunAfterInstall || kind == wf::kRunAtFinishPage) {
    bool waits = flags & wf::kFlagRunAfterRestart;
    return after ? !(waits && restartNeeded) : waits;
  }
  if (kind == wf::kRunAfterWizard || (kind == wf::kRunOnRequest && !document)) return !(after && restartNeeded);
  return kind == wf::kRunOnRequest;
}

void RunItems(Setup& setup, int kind, int pass, int after) {
  if (setup.singlePageMode) return;
  ForEachEntry(setup, [&](const wf::FileEntryView& e) {
    if (!RunsAtMoment(e.flags, kind, pass, after, setup.restartNeeded)) return true;
    ResolveEntryDestination(setup, e);
    if (!*setup.workPath) return true;
    char path[kWorkPathSize];
    for (uint32_t i = 0; (path[i] = setup.workPath[i]) != 0; ++i) {}
    LogAction(setup, e.flags & wf::kFlagRunDocument ? "document opened" : "program started", path);
    if (e.flags & wf::kFlagRunDocument) OpenEntryDocument(path);
    else RunEntryProgram(setup, path, e);
    return true;
  });
}

int HasItemsAfterRestart(Setup& setup) {
  bool found = false;
  ForEachEntry(setup, [&](const wf::FileEntryView& e) {
    uint32_t kind = RunKind(e.flags);
    found = kind > wf::kRunAtFinishPage || (kind > 0 && (e.flags & wf::kFlagRunAfterRestart));
    return !found;
  });
  return found;
}

char* NewProgramCommand(const char* program, const char* arguments) {
  auto write = [&](CommandText t) {
    t.Quoted(program);
    if (*arguments) t.Put(" ").Put(arguments);
    return t.length;
  };
  uint32_t n = write(CommandText(nullptr, 0)) + 1;
  char* command;
  if (!AllocBuffer(n, &command)) return nullptr;
  write(CommandText(command, n));
  return command;
}

int RunProgram(Setup& setup, const char* program, const char* arguments, int wait) {
  char* command = NewProgramCommand(program, arguments);
  if (!command) return 0;
  ProcessHandle process = StartProcess(command);
  FreeBuffer(&command);
  if (!process) return 0;
  // Windows stay answered while the program runs, and no core is kept busy.
  if (wait)
    while (!WaitProcessOrInput(process)) PumpMessages(setup);
  CloseProcess(process);
  return 1;
}
