// The check every record path passes before anything is removed: a record is
// data from a file anyone could have altered, so a path that could reach
// beyond what an installation makes is refused rather than trusted.
#pragma once
#include <stdint.h>

#include "uninstaller/record_reader.h"

namespace wrenly::uninstaller {

enum PathRefusal : uint8_t {
  kPathGood = 0,
  kPathTooLong,
  kPathRelative,     // neither below the installation folder, a drive path nor a share
  kPathDots,         // a component ending in a dot or space: "..", "...", "Windows."
  kPathDevice,       // CON, PRN, AUX, NUL, COM1-9, LPT1-9 in any component
  kPathPrefix,       // \\?\ or \\.\ (no normalisation, devices)
  kPathStream,       // ':' anywhere but after the drive letter
  kPathRoot,         // a drive root or a share root
  kPathProtected,    // the Windows or the system folder itself
  kPathCharacter,    // a control character (a NUL would cut the path short) or a wildcard
  kPathOutsideMenu,  // a shortcut group not below a Start-menu or desktop folder
};

// Builds folder + "\" + name (name may be empty: the folder itself) into out,
// "." and ".\sub" taken below installFolder, '/' read as '\'; then checks it.
// The folders are absolute, with or without a trailing backslash.
PathRefusal ResolveRecordPath(TextView folder, TextView name, const char* installFolder, const char* windowsFolder,
                              const char* systemFolder, char* out, uint32_t outSize);

// How many components a registry key of a record keeps at the least when
// the keys its removal left empty are removed upwards: 2 below "Software" of
// the user or the machine (a vendor's key goes once nothing of any product of
// its is left), 0 for a key of the system's (below Microsoft, Classes,
// Policies; another hive), which never goes for being empty.
uint32_t EmptyKeyFloor(uint32_t root, const char* key);

}  // namespace wrenly::uninstaller
