#include "install/data_area.h"

#include "ui/pump_messages.h"

DataAreaState DataArea = {INVALID_FILE, 0, 0, 0, 0, 0, 0, 0, {0}};

namespace {
constexpr int32_t kPumpInterval = 4096;
}

void ResetDataArea() {
  DataArea = DataAreaState{};
  DataArea.volume = INVALID_FILE;
}

int ReadDataArea(FileHandle* file, void* buffer, uint32_t count) {
  int r;
  if (*file != DataArea.volume) {
    r = FileRead(*file, buffer, count);
  } else if (count <= DataArea.bytesLeft) {
    r = FileRead(*file, buffer, count);
    if (r == 0) DataArea.bytesLeft -= count;
  } else {
    r = 1;  // moving on to the next volume arrives with the installation engine
  }
  if (r != 0) return r;
  DataArea.pumpCountdown -= (int32_t)count;
  if (DataArea.pumpCountdown <= 0) {
    DataArea.pumpCountdown = kPumpInterval;
    PumpMessages();
  }
  return 0;
}
