// The installation run.
//
// States, from Run.running and Run.finished:
//
//   Idle ──StartInstallation ok──▶ Running ──InstallNextEntry returns 0──▶ Ended
//    ▲        (DataArea open)        │  one entry per call; the wizard's     │
//    │                               │  loop or RunInstallationHeadless      │
//    │                               │  pumps messages between entries       │
//    │                          Cancel│(CloseDataArea: running cleared)       │
//    │                               ▼                                       ▼
//    └──────────────────────── FinishInstallation ◀────────────────────────┘
//                                (finished set; GoToPageKind(6) unless the run
//                                 is single-page or was cancelled)
//
// StartInstallation failing leaves the run Idle with ResultCode set and
// never reaches the completion step. A failure inside an entry sets
// ResultCode once; InstallNextEntry then returns 0 and the run goes on to
// the completion step, which does only its closing work. After a cancel, at
// any moment, the completion step only closes: nothing is registered for a
// product the user abandoned, and the page result stays Cancel.
#include "install/install_run.h"

#include <string.h>

#include "format/install_type.h"
#include "install/data_area.h"
#include "package/package_model.h"
#include "startup/run_state.h"
#include "system/run_items.h"
#include "ui/pump_messages.h"

namespace wf = wrenly::format;

InstallRun Run;

uint32_t SetErrorArgument(const char* path) {
  uint32_t n = 0;
  while (n < kPathSize - 1 && path[n]) {
    ErrorArgument[n] = path[n];
    ++n;
  }
  ErrorArgument[n] = 0;
  return n + 1;
}

void CloseDataArea() {
  if (DataArea.volume != INVALID_FILE) FileClose(DataArea.volume);
  DataArea.volume = INVALID_FILE;
  Run.running = false;
}

int StartInstallation() {
  Run.cursor = ThePackage.firstEntry;
  Run.index = -1;
  Run.running = false;
  Run.finished = false;
  Run.tempName[0] = 0;
  ResultCode = 0;
  DataArea.volumeNumber = 0;
  DataArea.earlierBytes = 0;
  DataArea.pumpCountdown = 0;

  if (!Run.destinationChecked) {
    int r = CheckDestinationFolder();
    if (r != 0) {
      ResultCode = r;
      return 0;
    }
    if (CheckDiskSpace()) {
      ResultCode = kResultNoSpace;
      return 0;
    }
    Run.destinationChecked = true;
  }
  // No early pass over the table: its only lasting effect would be asking
  // the version questions that InstallNextEntry asks again for each entry.

  memcpy(DataArea.volumePath, PackagePath, kPathSize);
  DataArea.volumePath[kPathSize - 1] = 0;
  FileHandle file = FileOpen(DataArea.volumePath, kFileRead);
  if (file != INVALID_FILE && FileSeek(file, (int32_t)DataArea.start, kSeekStart) == kSeekFailed) {
    FileClose(file);
    file = INVALID_FILE;
  }
  if (file == INVALID_FILE) {
    ResultCode = kResultPackageUnreadable;
    SetErrorArgument(DataArea.volumePath);
    return 0;
  }
  // The loader recorded this volume's size from the end block.
  DataArea.volume = file;
  DataArea.bytesLeft = DataArea.volumeSize;
  Run.running = true;
  return 1;
}

void RunInstallationHeadless() {
  if (!StartInstallation()) return;
  while (InstallNextEntry()) PumpMessages();
  FinishInstallation();
}

void GoToPageKind(int kind) {
  const InstallTypeSlot* type = ThePackage.currentType;
  if (!type || type->recordSize < wf::install_type::kPageSequence + wf::install_type::kPageSequenceSize) return;
  const uint8_t* sequence = type->record + wf::install_type::kPageSequence;
  for (uint32_t p = 0; p < wf::install_type::kPageSequenceSize; ++p) {
    if (sequence[p] == wf::install_type::kSequenceEnd) return;
    if (sequence[p] == kind) {
      PageIndex = (int)p - 1;
      PageResult = kPageResultNext;
      return;
    }
  }
}

void RequestPageResult(int code) {
  if (code == kButtonBack) PageResult = kPageResultBack;
  else if (code == kButtonNext) PageResult = kPageResultNext;
  else if (code == kButtonCancel) PageResult = kPageResultCancel;
}

void ShowEntryProgress() {
  uint32_t count = ThePackage.entryCount;
  int percent = count ? (int)((100u * (uint64_t)(Run.index + 1)) / count) : 100;
  ShowProgressPercent(percent);
}
