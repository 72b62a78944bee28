// The installation run.
//
// States, from setup.run.running and setup.run.finished:
//
//   Idle ──StartInstallation ok──▶ Running ──InstallNextEntry returns 0──▶ Ended
//    ▲        (DataArea open)        │  one entry per call; the wizard's     │
//    │                               │  loop or RunInstallationHeadless      │
//    │                               │  pumps messages between entries       │
//    │                          Cancel│(CloseDataArea: running cleared)       │
//    │                               ▼                                       ▼
//    └────────────────────────  EndInstallation   ◀────────────────────────┘
//                                (finished set; GoToPageKind(6) unless the run
//                                 is single-page or was cancelled)
//
// StartInstallation failing leaves the run Idle with setup.resultCode set and
// never reaches the completion step. A failure inside an entry sets
// setup.resultCode once; InstallNextEntry then returns 0 and the run goes on to
// the completion step, which does only its closing work. After a cancel, at
// any moment, the completion step only closes: nothing is registered for a
// product the user abandoned, and the page result stays Cancel.
#include "install/install_run.h"

#include <string.h>

#include "base/display.h"
#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "package/data_area.h"
#include "system/finish_installation.h"
#include "system/run_items.h"
#include "system/upgrade.h"

namespace wf = wrenly::format;

int StartInstallation(Setup& setup) {
  setup.run.cursor = setup.package.firstEntry;
  setup.run.index = -1;
  setup.run.running = false;
  setup.run.finished = false;
  setup.run.tempName[0] = 0;
  setup.resultCode = 0;
  setup.dataArea.volumeNumber = 0;
  setup.dataArea.earlierBytes = 0;
  setup.dataArea.pumpCountdown = 0;

  if (!setup.run.destinationChecked) {
    int r = CheckDestinationFolder(setup);
    if (r != 0) {
      setup.resultCode = r;
      return 0;
    }
    if (CheckDiskSpace(setup)) {
      setup.resultCode = kResultNoSpace;
      return 0;
    }
    setup.run.destinationChecked = true;
  }
  const InstallTypeSlot* type = setup.package.currentType;
  LogNumber(setup, "install type", setup.package.current + 1, type && type->typeName ? type->typeName : "");
  LogAction(setup, "folder", setup.installFolder);
  // No early pass over the table: its only lasting effect would be asking
  // the version questions that InstallNextEntry asks again for each entry.

  memcpy(setup.dataArea.volumePath, setup.packagePath, kPathSize);
  setup.dataArea.volumePath[kPathSize - 1] = 0;
  FileHandle file = FileOpen(setup.dataArea.volumePath, kFileRead);
  if (file != INVALID_FILE && FileSeek(file, (int32_t)setup.dataArea.start, kSeekStart) == kSeekFailed) {
    FileClose(file);
    file = INVALID_FILE;
  }
  if (file == INVALID_FILE) {
    setup.resultCode = kResultPackageUnreadable;
    SetErrorArgument(setup, setup.dataArea.volumePath);
    return 0;
  }
  KeepPreviousRecord(setup);
  // The loader recorded this volume's size from the end block.
  setup.dataArea.volume = file;
  setup.dataArea.bytesLeft = setup.dataArea.volumeSize;
  setup.run.running = true;
  return 1;
}

void EndInstallation(Setup& setup) {
  FinishInstallation(setup);
  if (!setup.userCancelled && !setup.singlePageMode) GoToPageKind(setup, wf::kPageFinish);
  // A quiet run shows no finish page: its exit code tells how it went.
  if (setup.options.quiet) setup.pageResult = kPageResultNext;
}

void RunInstallationHeadless(Setup& setup) {
  if (!StartInstallation(setup)) return;
  while (InstallNextEntry(setup)) PumpMessages(setup);
  EndInstallation(setup);
}

void GoToPageKind(Setup& setup, int kind) {
  const InstallTypeSlot* type = setup.package.currentType;
  if (!type || type->recordSize < wf::install_type::kPageSequence + wf::install_type::kPageSequenceSize) return;
  const uint8_t* sequence = type->record + wf::install_type::kPageSequence;
  for (uint32_t p = 0; p < wf::install_type::kPageSequenceSize; ++p) {
    if (sequence[p] == wf::install_type::kSequenceEnd) return;
    if (sequence[p] == kind) {
      setup.pageIndex = (int)p - 1;
      setup.pageResult = kPageResultNext;
      return;
    }
  }
}

void ShowEntryProgress(Setup& setup) {
  uint32_t count = setup.package.entryCount;
  int percent = count ? (int)((100u * (uint64_t)(setup.run.index + 1)) / count) : 100;
  ShowProgressPercent(setup, percent);
}
