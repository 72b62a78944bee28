// One FileEntry per call: resolve, decide, extract beside the destination,
// check, put in place, count.
#include "install/install_next_entry.h"

#include "format/block_ids.h"
#include "format/container.h"
#include "install/data_area.h"
#include "install/destination.h"
#include "install/fonts.h"
#include "install/install_run.h"
#include "install/overwrite_rules.h"
#include "package/package_model.h"
#include "platform/file_system.h"
#include "platform/restart_ops.h"
#include "startup/run_state.h"
#include "system/registration.h"
#include "text/messages.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
const uint32_t kChecksumPiece = 8192;

// Copies src into out (size bytes) when it fits whole.
bool CopyFits(char* out, uint32_t size, const char* src) {
  uint32_t n = 0;
  while (src[n]) ++n;
  if (n >= size) return false;
  for (uint32_t i = 0; i <= n; ++i) out[i] = src[i];
  return true;
}

bool Cancelled() { return PageResult == kPageResultCancel || UserCancelled; }

// The old version unregisters itself before it is written over.
void Unregister() {
  if (ComponentKindOf(WorkPath) == kComponentServer && NamedFileExists(WorkPath)) RegisterComponent(0);
}

// Work common to written and kept entries.
void CompleteEntry(const FileEntryView& e, uint16_t options) {
  Run.tempName[0] = 0;
  if (options & kOptUninstaller) SetEntryStatus(e, kOutcomeNone);
  if (e.kind != kDestInstallDir && (e.flags & kFlagShared)) AddSharedFileReference();
  if (e.kind == kDestFonts) InstallFont(WorkPath);
  if (e.flags & kFlagScreenSaver) ScreenSaverEntry = e.record;
  CreateEntryDesktopShortcut(e.record);
  ShowEntryProgress();
}

int WriteFailed() {
  SetErrorArgument(WorkPath);
  return kResultCannotWrite;
}

// Writes the entry's content into the open temporary file. 0, or the result
// code (0 as well when the user cancelled: no code is set then).
int WriteContent(const FileEntryView& e, uint16_t options, FileHandle temp, bool* damaged) {
  uint32_t size = 0, checksum = 0;
  // The loader refuses an uninstaller entry without the image.
  if ((options & kOptUninstaller) && ThePackage.uninstallerSize &&
      FileWrite(temp, ThePackage.uninstaller, ThePackage.uninstallerSize) != 0)
    return WriteFailed();
  int sought = SeekDataArea(e.dataOffset);
  if (sought) return sought;
  int r = DecompressEntry(temp, &DataArea.volume, e.storedLength, &size, &checksum);
  // A full disk is not a damaged package.
  if (r == kDecompressWriteFailed) return WriteFailed();
  // The reader may have named the failure already (a missing volume).
  if (r != 0) return Cancelled() ? 0 : ResultCode ? ResultCode : kResultPackageIncomplete;
  if (!(options & kOptUninstaller)) {
    if (e.timesBlock) SetFileTimes(temp, e.timesBlock);
    *damaged = size != e.size || checksum != e.checksum;
  }
  return 0;
}

// Decompresses into a temporary file beside the destination and puts it in
// place. 1 when the entry is complete.
int ExtractEntry(const FileEntryView& e, uint16_t options, bool inUse) {
  if (GetMessageText(kPageProgress, msg::kProgressFileLabel)[0]) ShowCurrentFile(WorkPath);
  if (e.flags & kFlagSelfRegister) Unregister();
  CreateFolderChain(WorkPath);
  if (MakeTemporaryName(WorkPath, Run.tempName, sizeof Run.tempName) != 0) {
    Run.tempName[0] = 0;
    ResultCode = kResultCannotWrite;
    SetErrorArgument(WorkPath);
    return 0;
  }
  FileHandle temp = FileCreate(Run.tempName);
  if (temp == INVALID_FILE) {
    ResultCode = kResultCannotWrite;
    SetErrorArgument(Run.tempName);
    Run.tempName[0] = 0;  // not ours to delete
    return 0;
  }
  bool damaged = false;
  int result = WriteContent(e, options, temp, &damaged);
  FileClose(temp);
  if (result) ResultCode = result;
  if (result || Cancelled()) return 0;
  if (damaged && !ConfirmDamagedFile()) return 0;

  if (e.kind == kDestFonts && NamedFileExists(WorkPath)) {
    RemoveFont(WorkPath);
    inUse = TestFileInUse(WorkPath);
  }
  if (inUse) {
    MoveFileAtRestart(WorkPath, Run.tempName);
    RestartNeeded = true;
    SetEntryStatus(e, kOutcomeAtRestart);
  } else if (ReplaceDestinationFile(e, Run.tempName) != 0) {
    return 0;
  }
  uint16_t status = LoadU16(e.record + file_entry::kStatus);
  if (options & kOptReadOnly) SetReadOnlyAttribute(status == kOutcomeAtRestart ? Run.tempName : WorkPath, true);
  return 1;
}

bool UninstallerStays() {
  const InstallTypeSlot* type = ThePackage.currentType;
  return type && (LoadU16(type->record + install_type::kOptions) & kOptUninstallerAppend) &&
         HoldsCompleteUninstaller(WorkPath);
}
}  // namespace

bool FileMatches(const char* path, uint32_t size, uint32_t checksum) {
  FileHandle file = FileOpen(path, kFileRead);
  if (file == INVALID_FILE) return false;
  bool same = FileSize(file) == size;
  uint8_t* buffer = nullptr;
  if (same && size > 0) {
    same = AllocBuffer(kChecksumPiece, &buffer);
    uint32_t value = 0;
    for (uint32_t left = size; same && left > 0;) {
      uint32_t piece = left < kChecksumPiece ? left : kChecksumPiece;
      same = FileRead(file, buffer, piece) == 0;
      value = UpdateFileChecksum(value, buffer, piece);
      left -= piece;
    }
    same = same && value == checksum;
    FreeBuffer(&buffer);
  } else if (same) {
    same = checksum == 0;
  }
  FileClose(file);
  return same;
}

bool HoldsCompleteUninstaller(const char* path) {
  FileHandle file = FileOpen(path, kFileRead);
  if (file == INVALID_FILE) return false;
  uint8_t tail[block_header::kSize];
  uint32_t size = FileSize(file);
  bool stays = size != kSeekFailed && size >= sizeof tail &&
               FileSeek(file, (int32_t)(size - sizeof tail), kSeekStart) == size - sizeof tail &&
               FileRead(file, tail, sizeof tail) == 0 && LoadU16(tail + block_header::kId) == kBlockEnd &&
               (LoadU16(tail + block_header::kFlags) & kEndFlagRecordComplete);
  FileClose(file);
  return stays;
}

int InstallNextEntry() {
  Run.tempName[0] = 0;
  FileEntryView e;
  uint16_t options = 0;
  bool inUse = false;
  for (++Run.index;; ++Run.index) {
    if (Run.index >= (int32_t)ThePackage.entryCount) return 0;
    if (!FindFileEntry(Run.cursor, &e)) {
      ResultCode = kResultPackageIncomplete;
      return 0;
    }
    Run.cursor = e.record + e.recordSize;
    options = LoadU16(e.record + file_entry::kStatus);
    SetEntryStatus(e, kOutcomeNone);
    inUse = ResolveEntryDestination(e);
    if (DestinationFault) {
      ResultCode = DestinationFault;
      return 0;
    }
    if (!WorkPath[0]) continue;
    if (!(options & kOptUninstaller)) break;
    if (!CopyFits(UninstallerPath, kPathSize, WorkPath)) {
      ResultCode = kResultPackageIncomplete;
      return 0;
    }
    if (!UninstallerStays()) break;
  }

  if (e.flags & (kFlagSourceFolder | kFlagFolder)) {
    if (e.flags & kFlagFolder) CreateFolderChain(WorkPath);
    CreateEntryDesktopShortcut(e.record);
    ShowEntryProgress();
    return 1;
  }

  bool needed = true;
  if (e.flags & kFlagOnlyIfMissing) {
    FileHandle existing = FileOpen(WorkPath, kFileRead);
    if (existing != INVALID_FILE) {
      FileClose(existing);
      needed = false;
    }
  } else if (inUse && FileMatches(WorkPath, e.size, e.checksum)) {
    needed = false;
  }
  if (needed && (e.flags & (kFlagVersionCheck | kFlagLanguageCheck))) needed = CheckFileVersion(e) != 0;

  if (!needed) {
    SetEntryStatus(e, kOutcomeKept);
  } else if (!ExtractEntry(e, options, inUse)) {
    if (Run.tempName[0]) DeleteNamedFile(Run.tempName);
    Run.tempName[0] = 0;
    return 0;
  }
  CompleteEntry(e, options);
  return 1;
}
