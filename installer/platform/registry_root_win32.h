// The package's registry root numbers as the system's keys, for the Win32
// side of the platform.
#pragma once
#include <windows.h>

#include "platform/system.h"

inline HKEY RootKey(uint32_t root) {
  switch (root & kRootNumberMask) {
    case kRootClassesRoot: return HKEY_CLASSES_ROOT;
    case kRootLocalMachine: return HKEY_LOCAL_MACHINE;
    case kRootUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

// The access bit of the root's view; 0 keeps the program's own.
inline REGSAM ViewOf(uint32_t root) { return (root & kRootWideView) ? KEY_WOW64_64KEY : 0; }
