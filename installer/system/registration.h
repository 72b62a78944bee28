// Components that register themselves: servers in process, registry scripts
// and type libraries through the system's tools.
#pragma once
#include "base/setup.h"

enum ComponentKind { kComponentServer, kComponentRegistryScript, kComponentTypeLibrary };
// By the ending of the path, case ignored; a bare ".reg" is a server.
int ComponentKindOf(const char* path);
// Calls DllRegisterServer (registering) or DllUnregisterServer of the
// library in setup.workPath; a library that does not load is left alone.
void RegisterComponent(Setup& setup, int registering);
// Registers every entry of the current type marked for it that was written:
// now, or by a command at the next start when it waits for the restart.
void RegisterComponents(Setup& setup);
