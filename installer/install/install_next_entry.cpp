// One FileEntry per call: resolve, decide, extract beside the destination,
// check, put in place, count.
#include "install/install_next_entry.h"

#include "base/display.h"
#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "install/fonts.h"
#include "install/install_run.h"
#include "install/overwrite_rules.h"
#include "package/data_area.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/restart_ops.h"
#include "system/registration.h"
#include "system/uninstall_record.h"
#include "text/messages.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
const uint32_t kChecksumPiece = 64 * 1024;  // an existing file read back to compare

// Copies src into out (size bytes) when it fits whole.
bool CopyFits(char* out, uint32_t size, const char* src) {
  uint32_t n = 0;
  while (src[n]) ++n;
  if (n >= size) return false;
  for (uint32_t i = 0; i <= n; ++i) out[i] = src[i];
  return true;
}

bool Cancelled(Setup& setup) { return setup.pageResult == kPageResultCancel || setup.userCancelled; }

// The old version unregisters itself before it is written over.
void Unregister(Setup& setup) {
  if (ComponentKindOf(setup.workPath) == kComponentServer && NamedFileExists(setup.workPath))
    RegisterComponent(setup, 0);
}

// Work common to written and kept entries.
void CompleteEntry(Setup& setup, const FileEntryView& e, uint16_t options) {
  setup.run.tempName[0] = setup.run.besideName[0] = 0;
  if (options & kOptUninstaller) SetEntryStatus(e, kOutcomeNone);
  if (e.kind != kDestInstallDir && (e.flags & kFlagShared)) {
    AddSharedFileReference(setup);
    LogAction(setup, "shared file counted", setup.workPath);
  }
  if (e.kind == kDestFonts) {
    InstallFont(setup.workPath);
    LogAction(setup, "font added", setup.workPath);
  }
  if (e.flags & kFlagScreenSaver) setup.run.screenSaverEntry = e.record;
  CreateEntryDesktopShortcut(setup, e.record);
  ShowEntryProgress(setup);
}

int WriteFailed(Setup& setup) {
  SetErrorArgument(setup, setup.workPath);
  return kResultCannotWrite;
}

// Writes the entry's content into the open temporary file. 0, or the result
// code (0 as well when the user cancelled: no code is set then).
int WriteContent(Setup& setup, const FileEntryView& e, uint16_t options, FileHandle temp, bool* damaged) {
  uint32_t size = 0, checksum = 0;
  // The loader refuses an uninstaller entry without the image.
  if ((options & kOptUninstaller) && setup.package.uninstallerSize &&
      FileWrite(temp, setup.package.uninstaller, setup.package.uninstallerSize) != 0)
    return WriteFailed(setup);
  // A signed uninstaller stays as it was signed: its data, and later its
  // record, go into the file beside it.
  FileHandle target = temp;
  char beside[kPathSize];
  if ((options & kOptUninstaller) && (setup.package.identityFlags & kIdentityRecordBeside)) {
    if (!UninstallRecordPath(setup, setup.workPath, beside)) return WriteFailed(setup);
    bool created = !NamedFileExists(beside);
    if ((target = FileCreate(beside)) == INVALID_FILE) return WriteFailed(setup);
    if (created) CopyFits(setup.run.besideName, sizeof setup.run.besideName, beside);
  }
  int sought = SeekDataArea(setup, e.dataOffset);
  int r = sought ? sought : DecompressEntry(setup, target, &setup.dataArea.volume, e.storedLength, &size, &checksum);
  if (target != temp) FileClose(target);
  if (sought) return sought;
  // A full disk is not a damaged package.
  if (r == kDecodeWriteFailed) return WriteFailed(setup);
  // The reader may have named the failure already (a missing volume).
  if (r != 0) return Cancelled(setup) ? 0 : setup.resultCode ? setup.resultCode : kResultPackageIncomplete;
  if (!(options & kOptUninstaller)) {
    if (e.timesBlock) SetFileTimes(temp, e.timesBlock);
    *damaged = size != e.size || checksum != e.checksum;
  }
  return 0;
}

// Decompresses into a temporary file beside the destination and puts it in
// place. 1 when the entry is complete.
//
// A new file is written where it belongs instead: no file on the machine is
// at stake, and the move that would put a temporary file in place is the
// dearest of an entry's calls. A failure removes it as it would the
// temporary file (its name is the temporary name then).
int ExtractEntry(Setup& setup, const FileEntryView& e, uint16_t options, bool inUse) {
  if (GetMessageText(setup, kPageProgress, msg::kProgressFileLabel)[0]) ShowCurrentFile(setup, setup.workPath);
  if (e.flags & kFlagSelfRegister) Unregister(setup);
  CreateFolderChain(setup.workPath);
  FileHandle temp = INVALID_FILE;
  bool inPlace = !inUse && CopyFits(setup.run.tempName, sizeof setup.run.tempName, setup.workPath) &&
                 (temp = FileCreateNew(setup.workPath)) != INVALID_FILE;
  int made = inPlace ? 0 : CreateTemporaryFile(setup.workPath, setup.run.tempName, sizeof setup.run.tempName, &temp);
  if (made != 0) {
    setup.resultCode = kResultCannotWrite;
    SetErrorArgument(setup, made == 1 ? setup.workPath : setup.run.tempName);
    setup.run.tempName[0] = 0;  // not ours to delete
    return 0;
  }
  bool damaged = false;
  int result = WriteContent(setup, e, options, temp, &damaged);
  FileClose(temp);
  if (result) setup.resultCode = result;
  if (result || Cancelled(setup)) return 0;
  if (damaged && !ConfirmDamagedFile(setup)) return 0;

  if (inPlace) {
    SetEntryStatus(e, kOutcomeCreated);
    if (options & kOptReadOnly) SetReadOnlyAttribute(setup.workPath, true);
    return 1;
  }
  if (e.kind == kDestFonts && NamedFileExists(setup.workPath)) {
    RemoveFont(setup.workPath);
    inUse = TestFileInUse(setup.workPath);
  }
  if (inUse) {
    // Without the right to (a per-user run), nothing would replace it
    // later: the file cannot be written.
    if (MoveFileAtRestart(setup.workPath, setup.run.tempName) != 0) return setup.resultCode = WriteFailed(setup), 0;
    setup.restartNeeded = true;
    SetEntryStatus(e, kOutcomeAtRestart);
  } else if (ReplaceDestinationFile(setup, e, setup.run.tempName) != 0) {
    return 0;
  }
  uint16_t status = LoadU16(e.record + file_entry::kStatus);
  if (options & kOptReadOnly)
    SetReadOnlyAttribute(status == kOutcomeAtRestart ? setup.run.tempName : setup.workPath, true);
  return 1;
}

bool UninstallerStays(Setup& setup) {
  const InstallTypeSlot* type = setup.package.currentType;
  char record[kPathSize];
  return type && (LoadU16(type->record + install_type::kOptions) & kOptUninstallerAppend) &&
         UninstallRecordPath(setup, setup.workPath, record) && HoldsCompleteUninstaller(record);
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

namespace {
// Keeps the file on the machine or puts the entry's in its place; false
// when the installation stops.
bool PlaceFile(Setup& setup, const FileEntryView& e, uint16_t options, bool inUse) {
  // Why the file on the machine stays, when it does.
  const char* kept = nullptr;
  if (e.flags & kFlagOnlyIfMissing) {
    FileHandle existing = FileOpen(setup.workPath, kFileRead);
    if (existing != INVALID_FILE) {
      FileClose(existing);
      kept = "installed only where missing";
    }
  } else if (inUse && FileMatches(setup.workPath, e.size, e.checksum)) {
    kept = "in use, and the same";
  }
  if (!kept && (e.flags & (kFlagVersionCheck | kFlagLanguageCheck)) && !CheckFileVersion(setup, e))
    kept = "newer, or in another language";

  if (kept) {
    SetEntryStatus(e, kOutcomeKept);
    LogAction(setup, "file kept", setup.workPath, kept);
  } else if (!ExtractEntry(setup, e, options, inUse)) {
    if (setup.run.tempName[0]) DeleteNamedFile(setup.run.tempName);
    if (setup.run.besideName[0]) DeleteNamedFile(setup.run.besideName);
    setup.run.tempName[0] = setup.run.besideName[0] = 0;
    LogAction(setup, "file not installed", setup.workPath, setup.userCancelled ? "cancelled" : "failed");
    return false;
  } else if (LoadU16(e.record + file_entry::kStatus) == kOutcomeAtRestart) {
    LogAction(setup, "file left for the restart", setup.workPath, "in use: it replaces the old one then");
  } else {
    LogAction(setup, "file written", setup.workPath);
  }
  return true;
}
}  // namespace

int InstallNextEntry(Setup& setup) {
  setup.run.tempName[0] = setup.run.besideName[0] = 0;
  FileEntryView e;
  uint16_t options = 0;
  bool inUse = false;
  for (++setup.run.index;; ++setup.run.index) {
    if (setup.run.index >= (int32_t)setup.package.entryCount) return 0;
    if (!FindFileEntry(setup, setup.run.cursor, &e)) {
      setup.resultCode = kResultPackageIncomplete;
      return 0;
    }
    setup.run.cursor = e.record + e.recordSize;
    options = LoadU16(e.record + file_entry::kStatus);
    SetEntryStatus(e, kOutcomeNone);
    inUse = ResolveEntryDestination(setup, e);
    if (setup.run.destinationFault) {
      setup.resultCode = setup.run.destinationFault;
      return 0;
    }
    if (!setup.workPath[0]) continue;
    if (!(options & kOptUninstaller)) break;
    if (!CopyFits(setup.uninstallerPath, kPathSize, setup.workPath)) {
      setup.resultCode = kResultPackageIncomplete;
      return 0;
    }
    if (!UninstallerStays(setup)) break;
  }

  if (e.flags & (kFlagSourceFolder | kFlagFolder)) {
    if (e.flags & kFlagFolder) {
      CreateFolderChain(setup.workPath);
      LogAction(setup, "folder", setup.workPath);
    }
    CreateEntryDesktopShortcut(setup, e.record);
    ShowEntryProgress(setup);
    return 1;
  }

  NativeFolder native;
  BeginNativeFolder(&native, setup.workPath, setup.wideView);
  bool placed = PlaceFile(setup, e, options, inUse);
  EndNativeFolder(&native);
  if (!placed) return 0;
  CompleteEntry(setup, e, options);
  return 1;
}
