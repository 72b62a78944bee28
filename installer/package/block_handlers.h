// One handler per block id. Each gets the open package file positioned at
// the payload and returns 0 or a LoadCode.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "format/container.h"
#include "platform/files.h"

struct WalkState {
  int typeIndex;         // the type loaded last; -1 before the first
  int variantCountdown;  // background variants to skip; -1 none chosen
  int initialType;
  bool complete;
  bool resumed;  // resumed run: no pictures are loaded
};

int HandleBlock(Setup& setup, WalkState& walk, FileHandle file, const wrenly::format::BlockHeader& header);
