#include "package/data_area.h"

#include <string.h>

#include "base/display.h"
#include "base/setup.h"
#include "format/bytes.h"
#include "format/install_type.h"
#include "platform/disk.h"
#include "text/error_text.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {
constexpr int32_t kPumpInterval = 4096;

// The user gave up at the disk prompt: the run ends as cancelled.
void CancelAtPrompt(Setup& setup) {
  setup.pageResult = kPageResultCancel;
  setup.resultCode = kResultCancelled;
  CloseDataArea(setup);
  setup.userCancelled = true;
}

// 1 to try the volume again, 0 when the user cancelled.
int AskForDisk(Setup& setup) {
  const char* insert = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kInsertDisk);
  if (*insert) {
    char text[kErrorTextSize];
    FormatBounded(text, sizeof text, insert, nullptr, true, setup.dataArea.volumeNumber + 1);
    if (AskUser(setup, text, kMessageOkCancelInformation, kAnswerCancel) == kAnswerOk) return 1;
  }
  // Without a prompt text there is nothing to press OK on: it counts as Cancel.
  const char* confirm = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kStopPartialInstall);
  if (!*confirm || AskUser(setup, confirm, kMessageYesNoQuestion, kAnswerYes) == kAnswerYes) return 0;
  return 1;
}

// The volume with its count read, or invalid. A file too short to hold
// its count is as good as missing.
FileHandle OpenVolumeFile(Setup& setup) {
  FindExistingFile(setup.dataArea.volumePath, nullptr, nullptr);  // lets removable media settle
  FileHandle file = FileOpen(setup.dataArea.volumePath, kFileRead);
  if (file == INVALID_FILE) return file;
  uint8_t count[4];
  if (FileRead(file, count, sizeof count) != 0) {
    FileClose(file);
    return INVALID_FILE;
  }
  setup.dataArea.volumeSize = wf::LoadU32(count);
  setup.dataArea.bytesLeft = setup.dataArea.volumeSize;
  return file;
}

}  // namespace

void CloseDataArea(Setup& setup) {
  if (setup.dataArea.volume != INVALID_FILE) FileClose(setup.dataArea.volume);
  setup.dataArea.volume = INVALID_FILE;
  setup.run.running = false;
}

int MakeVolumePath(const char* base, int number, char* out) {
  size_t n = strlen(base);
  size_t stem = n;
  for (size_t i = n; i > 0; --i) {
    char c = base[i - 1];
    if (c == '\\' || c == '/' || c == ':') break;
    if (c == '.') {
      stem = i - 1;
      break;
    }
  }
  if (stem + 5 > kPathSize - 1 || number < 0 || number > 99) return 0;
  memmove(out, base, stem);
  out[stem] = '.';
  out[stem + 1] = 'D';
  out[stem + 2] = (char)('0' + number / 10);
  out[stem + 3] = (char)('0' + number % 10);
  out[stem + 4] = 0;
  return 1;
}

FileHandle OpenNextVolume(Setup& setup) {
  if (setup.dataArea.volume != INVALID_FILE) FileClose(setup.dataArea.volume);
  setup.dataArea.volume = INVALID_FILE;
  setup.dataArea.volumeNumber++;
  setup.dataArea.earlierBytes += setup.dataArea.volumeSize;
  setup.dataArea.volumeSize = 0;
  setup.dataArea.bytesLeft = 0;
  if (!MakeVolumePath(setup.dataArea.volumePath, setup.dataArea.volumeNumber, setup.dataArea.volumePath)) {
    setup.resultCode = kResultVolumeMissing;
    SetErrorArgument(setup, setup.dataArea.volumePath);
    return INVALID_FILE;
  }
  for (;;) {
    FileHandle file = OpenVolumeFile(setup);
    if (file != INVALID_FILE) {
      setup.dataArea.volume = file;
      return file;
    }
    // Only a run from removable media asks for the next disk; no one is
    // there to insert it in a quiet run.
    if (!setup.options.deleteSelf || setup.options.quiet) {
      // Recorded here so that a read running into the gap reports the volume too.
      setup.resultCode = kResultVolumeMissing;
      SetErrorArgument(setup, setup.dataArea.volumePath);
      return INVALID_FILE;
    }
    if (!AskForDisk(setup)) {
      CancelAtPrompt(setup);
      return INVALID_FILE;
    }
  }
}

int SeekDataArea(Setup& setup, uint32_t offset) {
  while (offset - setup.dataArea.earlierBytes >= setup.dataArea.volumeSize) {
    if (offset < setup.dataArea.earlierBytes) return kResultVolumeMissing;  // the reader only moves forward
    if (OpenNextVolume(setup) == INVALID_FILE)
      return setup.options.deleteSelf && !setup.options.quiet ? kResultCancelled : kResultVolumeMissing;
  }
  uint32_t inVolume = offset - setup.dataArea.earlierBytes;
  uint32_t base = setup.dataArea.volumeNumber == 0 ? setup.dataArea.sizeField : 0;
  if (setup.dataArea.volume == INVALID_FILE ||
      FileSeek(setup.dataArea.volume, (int32_t)(base + 4 + inVolume), kSeekStart) == kSeekFailed)
    return kResultVolumeMissing;
  setup.dataArea.bytesLeft = setup.dataArea.volumeSize - inVolume;
  return 0;
}

int ReadDataArea(Setup& setup, FileHandle* file, void* buffer, uint32_t count) {
  if (*file == INVALID_FILE) return 1;
  uint32_t delivered = count;
  if (*file != setup.dataArea.volume) {
    if (FileRead(*file, buffer, count) != 0) return 1;
  } else {
    uint8_t* p = (uint8_t*)buffer;
    while (count > 0) {
      uint32_t n = count <= setup.dataArea.bytesLeft ? count : setup.dataArea.bytesLeft;
      if (n > 0) {
        if (FileRead(*file, p, n) != 0) return 1;
        setup.dataArea.bytesLeft -= n;
        p += n;
        count -= n;
      }
      if (count > 0) {
        *file = OpenNextVolume(setup);
        if (*file == INVALID_FILE) return 1;
      }
    }
  }
  CountTowardsPump(setup, delivered);
  return 0;
}

void CountTowardsPump(Setup& setup, uint32_t bytes) {
  setup.dataArea.pumpCountdown -= (int32_t)bytes;
  if (setup.dataArea.pumpCountdown <= 0) {
    setup.dataArea.pumpCountdown = kPumpInterval;
    PumpMessages(setup);
  }
}
