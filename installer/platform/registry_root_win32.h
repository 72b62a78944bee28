// The package's registry root numbers as the system's keys, for the Win32
// side of the platform.
#pragma once
#include <windows.h>

#include "platform/system.h"

inline HKEY RootKey(uint32_t root) {
  switch (root) {
    case kRootClassesRoot: return HKEY_CLASSES_ROOT;
    case kRootLocalMachine: return HKEY_LOCAL_MACHINE;
    case kRootUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}
