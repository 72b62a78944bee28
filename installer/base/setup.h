// The state of one run of the Installer, created by WinMain and passed by
// hand to what reads or changes it. Plain data: the rooms above hold the
// functions.
#pragma once
#include <stdint.h>

#include "base/codes.h"
#include "base/package_model.h"
#include "platform/files.h"
#include "platform/system.h"

inline constexpr uint32_t kWorkPathSize = 520;

// How much of the wizard an unattended run shows.
enum QuietMode { kInteractive = 0, kQuietProgress = 1, kQuiet = 2 };

// Options of the command line.
struct CommandOptions {
  int resumeType;                // /B<n>: n >= 1 resumes after a restart with type n - 1
  bool deleteSelf;               // /DEL: running from a temporary copy
  bool acceptDamaged;            // /R: accept data that fails its size or checksum test
  bool verbose;                  // /V: recorded only
  int quiet;                     // /Q, /QP: a QuietMode
  char targetFolder[kPathSize];  // /T<path>: the installation folder; empty: the package's
  char installType[kPathSize];   // /I<n> (counted from 1) or /I<name>; empty: the package's
  char logPath[kPathSize];       // /L<path>; empty: no log
};

// Reading the DataArea, across its volume files.
struct DataAreaState {
  FileHandle volume;      // the current DataVolume, INVALID_FILE when none
  int volumeNumber;       // 0 = the package file itself
  uint32_t volumeSize;    // DataArea bytes in the current volume
  uint32_t earlierBytes;  // DataArea bytes of the volumes before it
  uint32_t bytesLeft;     // in the current volume behind the file position
  uint32_t sizeField;     // file offset of the u32 size in the package file
  uint32_t start;         // file offset of the first DataArea byte
  int32_t pumpCountdown;
  char volumePath[kPathSize];
};

// The installation run: what the engine, the progress display and the
// completion step share.
struct InstallRun {
  const uint8_t* cursor;     // the FileEntry the next InstallNextEntry handles
  int32_t index;             // entry handled last; -1 before the first
  bool running;              // DataArea open, entries remain to be handled
  bool finished;             // the completion step has run (or was skipped after a cancel)
  bool destinationChecked;   // folder and space checks passed
  bool readOnlyTarget;       // the space check met a read-only existing file
  char tempName[kPathSize];  // temporary file of the entry being extracted
  // The uninstaller's record file beside it when this entry created it: a
  // failure removes it with the temporary file.
  char besideName[kPathSize];
  // 0, or kResultPackageIncomplete when the last entry resolved was damaged:
  // it lies outside the file table, its name leaves its folder, or its path
  // does not fit.
  int destinationFault;
  const uint8_t* screenSaverEntry;  // the last installed screen saver's FileEntry, or null
};

// The product as an earlier (or later) version of this package left it,
// found in the list of installed programs by the package's identity.
enum InstalledState { kNotInstalled = 0, kInstalledOlder, kInstalledSame, kInstalledNewer };
inline constexpr uint32_t kVersionTextSize = 64;
struct InstalledProduct {
  int state;  // an InstalledState
  char version[kVersionTextSize];
  char folder[kPathSize];
  char uninstaller[kPathSize];
  // Its record, copied before this installation writes over it, until the
  // new uninstaller has removed what only the old version had; "" none.
  char recordCopy[kPathSize];
};

struct Wizard;  // the windows, on Windows only

struct Setup {
  CommandOptions options;
  const char* commandLine;  // as the program got it; null when it got none
  FileHandle log;           // the /L file, INVALID_FILE when none
  bool runAtEnd;            // /N clears it
  bool singlePageMode;      // the package asks for one page only
  int singlePageKind;
  bool restartNeeded;
  bool userCancelled;
  int resultCode;     // a kResult code, 0 none
  int runOnceNumber;  // next number of a RunOnce value, for the whole run
  bool wideView;      // a 64-bit product on 64-bit Windows: its registry view and the real system folder

  // Path buffers; null until AllocatePathBuffers.
  char* ownPath;      // the file that holds the package
  char* packagePath;  // copy made by LoadPackage, base of volume names
  char* installFolder;
  char* workPath;  // kWorkPathSize bytes
  char* tempPath;  // also the candidate folder while detecting
  char* errorArgument;
  char* uninstallerPath;
  // The decoders' input and output, made at the first stream and kept with
  // the path buffers: fresh memory for every entry would cost new pages each
  // time. Never freed by CloseDataArea, which Stop calls from inside a read.
  uint8_t* decodeBuffers;

  Package package;
  InstalledProduct installed;
  DataAreaState dataArea;
  InstallRun run;
  // Wizard state the engine reads and moves.
  int pageResult;  // a kPageResult code, 0 none
  int pageIndex;   // position in the current type's page sequence
  Wizard* wizard;  // null when no window shows
};

// A registry root of the product: its own view of that root.
inline uint32_t ProductRoot(const Setup& setup, uint32_t root) { return setup.wideView ? root | kRootWideView : root; }
// The hive where the product registers itself: the current user's for a
// per-user product.
inline uint32_t ProductHive(const Setup& setup) {
  return ProductRoot(setup, setup.package.scope == wrenly::format::kScopeUser ? kRootCurrentUser : kRootLocalMachine);
}

// A fresh run's state: everything zero but what starts otherwise.
void InitSetup(Setup& setup);
// 1 when all seven buffers were allocated zero-filled.
int AllocatePathBuffers(Setup& setup);
void FreePathBuffers(Setup& setup);
// Copies path into errorArgument, cut to fit; the bytes copied with the NUL.
uint32_t SetErrorArgument(Setup& setup, const char* path);
