// One installation run: the state the engine, the progress display and the
// completion step share. There is never more than one run.
#pragma once
#include <stdint.h>

#include "platform/files.h"
#include "startup/codes.h"

struct InstallRun {
  const uint8_t* cursor;    // the FileEntry the next InstallNextEntry handles
  int32_t index;            // entry handled last; -1 before the first
  bool running;             // DataArea open, entries remain to be handled
  bool finished;            // the completion step has run (or was skipped after a cancel)
  bool destinationChecked;  // folder and space checks passed
  bool readOnlyTarget;      // the space check met a read-only existing file
  char tempName[260];       // temporary file of the entry being extracted
};

extern InstallRun Run;

// Wizard state the engine reads and moves. The wizard owns it; until the
// wizard exists these are plain variables.
extern int PageResult;  // a kPageResult code, 0 none
extern int PageIndex;   // position in the current type's page sequence

// The run, step by step (see the state machine in install_run.cpp).
int StartInstallation();        // 1 running, 0 failed (ResultCode says why)
int InstallNextEntry();         // 1 one entry handled, call again; 0 done, failed or cancelled
void FinishInstallation();      // the completion step, once
void RunInstallationHeadless();

uint32_t SetErrorArgument(const char* path);  // bytes copied with the NUL
void CloseDataArea();
void GoToPageKind(int kind);
void RequestPageResult(int code);  // code: one of ButtonBits

// Progress display; bound to the progress page by the wizard.
void ShowProgressPercent(int percent);
void ShowCurrentFile(const char* path);
// Percentage after the entry at Run.index: (100 * (index + 1)) / count, to
// ShowProgressPercent. Called once per handled entry.
void ShowEntryProgress();

// DataArea reading for entries.
int SeekDataArea(uint32_t offset);  // 0, kResultCancelled or kResultVolumeMissing
FileHandle OpenNextVolume();
// 0 ok, 1 bad method/stream, 2 memory, 3 read, kDecompressWriteFailed.
inline constexpr int kDecompressWriteFailed = 4;
int DecompressEntry(FileHandle out, FileHandle* volume, uint32_t storedLength, uint32_t* sizeOut,
                    uint32_t* checksumOut);

// Destination folder and space.
int CheckDestinationFolder();  // 0 ok, kResultFolderInvalid or kFolderDeclined
int CheckDiskSpace();          // 1 not enough space
inline constexpr uint32_t kFreeSpaceUnknown = 0xFFFFFFFFu;
inline constexpr uint32_t kFreeSpaceHuge = 0xFFFFFFFEu;  // 4 TB or more
uint32_t GetFreeDiskSpace(const char* path, uint32_t* clusterKb);  // KB or a special value

// What the destination page shows: free and required space in megabytes.
struct DiskSpaceFigures {
  uint32_t freeMb;
  uint32_t requiredMb;
};
DiskSpaceFigures MeasureDiskSpace();
