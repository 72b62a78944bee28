// Finding, reading and releasing the Package.
#pragma once
#include <stdint.h>

#include "base/setup.h"
#include "format/container.h"
#include "platform/files.h"

// Failure codes of the block reader and the handlers.
enum LoadCode {
  kLoadOk = 0,
  kLoadReadFailed = 1,
  kLoadNoMemory = 5,
  kLoadNoFolderMemory = 12,
  kLoadDamaged = 31,
};

// 1 when the signature lies in the search window of file; leaves the first
// block's offset in package.firstBlock.
int FindPackage(Package& package, FileHandle file);

// Reads the package named by setup.ownPath. 1 when it was read and is complete.
int LoadPackage(Setup& setup);

// Reads the payload the file is positioned at into a new buffer of its
// (unpacked) size. A LoadCode.
int ReadBlockPayload(Setup& setup, FileHandle file, const wrenly::format::BlockHeader& header, uint8_t** out,
                     uint32_t* outSize);
// Method byte and stream; streamLength counts the method byte. The buffer
// must come out filled exactly. A DecodeResult.
int DecompressToMemory(Setup& setup, uint8_t* buffer, FileHandle* file, uint32_t size, uint32_t streamLength);

// Makes type index current; 0 (nothing changed) when no such type was loaded.
int SelectInstallType(Setup& setup, int index);
// The type a command line names by its number, counted from 1, or by its
// name, case ignored; -1 when no loaded type matches.
int FindInstallType(const Package& package, const char* argument);
void FreePackage(Package& package);
// Page kind 10's layout, carried by the program itself.
const uint8_t* BuiltInClosingLayout();
