#include "install/data_area.h"

#include <string.h>

#include "format/bytes.h"
#include "format/install_type.h"
#include "install/install_run.h"
#include "platform/disk.h"
#include "startup/run_state.h"
#include "text/error_text.h"
#include "text/messages.h"
#include "ui/pump_messages.h"
#include "ui/show_message.h"

namespace wf = wrenly::format;

DataAreaState DataArea = {INVALID_FILE, 0, 0, 0, 0, 0, 0, 0, {0}};

namespace {
constexpr int32_t kPumpInterval = 4096;

// The user gave up at the disk prompt: the run ends as cancelled.
void CancelAtPrompt() {
  PageResult = kPageResultCancel;
  ResultCode = kResultCancelled;
  CloseDataArea();
  UserCancelled = true;
}

// 1 to try the volume again, 0 when the user cancelled.
int AskForDisk() {
  const char* insert = GetMessageText(wf::msg::kListMessages, wf::msg::kInsertDisk);
  if (*insert) {
    char text[kErrorTextSize];
    FormatBounded(text, sizeof text, insert, nullptr, true, DataArea.volumeNumber + 1);
    if (ShowMessage(text, kMessageOkCancelInformation) == kAnswerOk) return 1;
  }
  // Without a prompt text there is nothing to press OK on: it counts as Cancel.
  const char* confirm = GetMessageText(wf::msg::kListMessages, wf::msg::kStopPartialInstall);
  if (!*confirm || ShowMessage(confirm, kMessageYesNoQuestion) == kAnswerYes) return 0;
  return 1;
}

// The volume with its count read, or invalid. A file too short to hold
// its count is as good as missing.
FileHandle OpenVolumeFile() {
  FindExistingFile(DataArea.volumePath, nullptr, nullptr);  // lets removable media settle
  FileHandle file = FileOpen(DataArea.volumePath, kFileRead);
  if (file == INVALID_FILE) return file;
  uint8_t count[4];
  if (FileRead(file, count, sizeof count) != 0) {
    FileClose(file);
    return INVALID_FILE;
  }
  DataArea.volumeSize = wf::LoadU32(count);
  DataArea.bytesLeft = DataArea.volumeSize;
  return file;
}

}  // namespace

void ResetDataArea() {
  DataArea = DataAreaState{};
  DataArea.volume = INVALID_FILE;
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

FileHandle OpenNextVolume() {
  if (DataArea.volume != INVALID_FILE) FileClose(DataArea.volume);
  DataArea.volume = INVALID_FILE;
  DataArea.volumeNumber++;
  DataArea.earlierBytes += DataArea.volumeSize;
  DataArea.volumeSize = 0;
  DataArea.bytesLeft = 0;
  if (!MakeVolumePath(DataArea.volumePath, DataArea.volumeNumber, DataArea.volumePath)) {
    ResultCode = kResultVolumeMissing;
    SetErrorArgument(DataArea.volumePath);
    return INVALID_FILE;
  }
  for (;;) {
    FileHandle file = OpenVolumeFile();
    if (file != INVALID_FILE) {
      DataArea.volume = file;
      return file;
    }
    if (!Options.deleteSelf) {
      // Recorded here so that a read running into the gap reports the volume too.
      ResultCode = kResultVolumeMissing;
      SetErrorArgument(DataArea.volumePath);
      return INVALID_FILE;
    }
    if (!AskForDisk()) {
      CancelAtPrompt();
      return INVALID_FILE;
    }
  }
}

int SeekDataArea(uint32_t offset) {
  while (offset - DataArea.earlierBytes >= DataArea.volumeSize) {
    if (offset < DataArea.earlierBytes) return kResultVolumeMissing;  // the reader only moves forward
    if (OpenNextVolume() == INVALID_FILE) return Options.deleteSelf ? kResultCancelled : kResultVolumeMissing;
  }
  uint32_t inVolume = offset - DataArea.earlierBytes;
  uint32_t base = DataArea.volumeNumber == 0 ? DataArea.sizeField : 0;
  if (DataArea.volume == INVALID_FILE ||
      FileSeek(DataArea.volume, (int32_t)(base + 4 + inVolume), kSeekStart) == kSeekFailed)
    return kResultVolumeMissing;
  DataArea.bytesLeft = DataArea.volumeSize - inVolume;
  return 0;
}

int ReadDataArea(FileHandle* file, void* buffer, uint32_t count) {
  if (*file == INVALID_FILE) return 1;
  uint32_t delivered = count;
  if (*file != DataArea.volume) {
    if (FileRead(*file, buffer, count) != 0) return 1;
  } else {
    uint8_t* p = (uint8_t*)buffer;
    while (count > 0) {
      uint32_t n = count <= DataArea.bytesLeft ? count : DataArea.bytesLeft;
      if (n > 0) {
        if (FileRead(*file, p, n) != 0) return 1;
        DataArea.bytesLeft -= n;
        p += n;
        count -= n;
      }
      if (count > 0) {
        *file = OpenNextVolume();
        if (*file == INVALID_FILE) return 1;
      }
    }
  }
  DataArea.pumpCountdown -= (int32_t)delivered;
  if (DataArea.pumpCountdown <= 0) {
    DataArea.pumpCountdown = kPumpInterval;
    PumpMessages();
  }
  return 0;
}
