// The installation run, step by step (see the state machine in
// install_run.cpp), and the destination checks before it.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "package/decode_stream.h"
#include "platform/files.h"

int StartInstallation(Setup& setup);  // 1 running, 0 failed (resultCode says why)
int InstallNextEntry(Setup& setup);   // 1 one entry handled, call again; 0 done, failed or cancelled
// The completion step, once: after the last entry, a failure or a cancel.
void EndInstallation(Setup& setup);
void RunInstallationHeadless(Setup& setup);

void GoToPageKind(Setup& setup, int kind);
// Percentage after the entry at run.index: (100 * (index + 1)) / count, to
// ShowProgressPercent. Called once per handled entry.
void ShowEntryProgress(Setup& setup);

// One entry's method byte and stream into out: a DecodeResult.
int DecompressEntry(Setup& setup, FileHandle out, FileHandle* volume, uint32_t storedLength, uint32_t* sizeOut,
                    uint32_t* checksumOut);

// Destination folder and space.
int CheckDestinationFolder(Setup& setup);  // 0 ok, kResultFolderInvalid or kFolderDeclined
int CheckDiskSpace(Setup& setup);          // 1 not enough space
inline constexpr uint32_t kFreeSpaceUnknown = 0xFFFFFFFFu;
inline constexpr uint32_t kFreeSpaceHuge = 0xFFFFFFFEu;            // 4 TB or more
uint32_t GetFreeDiskSpace(const char* path, uint32_t* clusterKb);  // KB or a special value

// What the destination page shows: free and required space in megabytes.
struct DiskSpaceFigures {
  uint32_t freeMb;
  uint32_t requiredMb;
};
DiskSpaceFigures MeasureDiskSpace(Setup& setup);
