#include "startup/temp_copy.h"

#include "base/package_model.h"
#include "base/setup.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "package/data_area.h"
#include "package/package.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "system/run_once.h"
#include "text/command_text.h"
#include "text/path_services.h"

namespace wf = wrenly::format;

namespace {

constexpr uint32_t kTempNames = 998;
constexpr uint32_t kCopyChunk = 32768;

// Just after the end block's size field, where the DataArea starts; 0 when
// the blocks cannot be walked.
uint32_t FindDataAreaStart(Setup& setup, FileHandle file) {
  if (!FindPackage(setup.package, file)) return 0;
  uint32_t fileSize = FileSize(file), at = setup.package.firstBlock;
  for (;;) {
    uint8_t raw[wf::block_header::kSize];
    if (FileSeek(file, (int32_t)at, kSeekStart) == kSeekFailed || FileRead(file, raw, sizeof raw) != 0) return 0;
    wf::BlockHeader h = wf::ParseBlockHeader(raw);
    at += sizeof raw;
    if (h.id == wf::kBlockEnd) return at + wf::kEndBlockSizeField;
    // A length beyond the file would wrap the walk around.
    if (h.length > fileSize - at) return 0;
    at += h.length;
  }
}

bool CopyHead(FileHandle from, FileHandle to, uint32_t size) {
  uint8_t* buffer;
  if (!AllocBuffer(kCopyChunk, &buffer)) return false;
  bool ok = FileSeek(from, 0, kSeekStart) == 0;
  for (uint32_t done = 0, n; ok && done < size; done += n) {
    n = size - done < kCopyChunk ? size - done : kCopyChunk;
    ok = FileRead(from, buffer, n) == 0 && FileWrite(to, buffer, n) == 0;
  }
  FreeBuffer(&buffer);
  return ok;
}

}  // namespace

FileHandle CreateUniqueTempFile(char* path, const char* format) {
  for (uint32_t n = 1; n <= kTempNames; ++n) {
    if (!GetTempFolder(path)) return INVALID_FILE;
    AppendBackslash(path);
    uint32_t folder = 0;
    while (path[folder]) ++folder;
    CommandText name(path + folder, kPathSize - folder);
    for (const char* f = format; *f; ++f) {
      if (f[0] == '%' && f[1] == 'd') name.Number(n), ++f;
      else name.Put(f, 1);
    }
    if (!name.Fits()) return INVALID_FILE;
    // Created only when new: a name taken meanwhile is never opened again.
    FileHandle file = FileCreateNew(path);
    if (file != INVALID_FILE) return file;
  }
  return INVALID_FILE;
}

int LaunchTempCopy(Setup& setup, int showCommand, bool atRestart, int* copyExit) {
  char copy[kPathSize];
  FileHandle temp = CreateUniqueTempFile(copy, "_inst%d.exe");
  if (temp == INVALID_FILE) return 0;
  FileHandle package = FileOpen(setup.ownPath, kFileRead);
  bool copied = false;
  if (package != INVALID_FILE) {
    uint32_t head = atRestart ? setup.dataArea.start : FindDataAreaStart(setup, package);
    copied = head > 0 && CopyHead(package, temp, head);
    FileClose(package);
  }
  FileClose(temp);
  // Room for the switches of the command line too, with their paths.
  char command[6 * kPathSize];
  CommandText line(command, sizeof command);
  line.Quoted(copy);
  if (atRestart) {
    line.Put(" /B").Number((uint32_t)setup.package.current + 1).Put(" /DEL");
    if (!setup.runAtEnd) line.Put(" /N");
  } else {
    // The switches it was given after, so that the copy runs as this run
    // would have (quiet, into its folder); its /S names the same file.
    line.Put(" /S").Quoted(setup.ownPath).Put(" /DEL");
    if (setup.commandLine && *setup.commandLine) line.Put(" ").Put(setup.commandLine);
  }
  // A copy that is not whole, or that nothing will start, must neither take
  // over the run nor stay behind.
  if (!copied || !line.Fits()) return DeleteNamedFile(copy), 0;
  if (atRestart) {
    if (AddRunOnceCommand(setup, command) == 0) return 1;
    return DeleteNamedFile(copy), 0;
  }
  ProcessHandle process = StartProcess(command, showCommand);
  if (!process) return DeleteNamedFile(copy), 0;
  int code = (int)WaitForExitCode(process);
  CloseProcess(process);
  if (copyExit) *copyExit = code;
  return 1;
}
