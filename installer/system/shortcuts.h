// Start-menu shortcuts, made all together by the completion step, and the
// pieces the desktop shortcut shares with them.
#pragma once
#include "base/setup.h"
#include "platform/files.h"

// Makes the Start-menu shortcuts of every entry of the current type and,
// when record is not INVALID_FILE, appends their shortcuts block to it.
void CreateStartMenuShortcuts(Setup& setup, FileHandle record);

// One shortcut in the folder a place names: "#Start Menu#",
// "#Startup#", else a program group below the Programs folder ("" the
// Programs folder itself). Recorded when record is not INVALID_FILE and the
// shortcut was saved.
void CreateShortcutInFolder(const char* target, const char* place, const char* name, const char* arguments,
                            const char* iconPath, int iconIndex, FileHandle record);

// out (260 bytes) := folder, a backslash unless it ends in one, name. False,
// out undefined, when it does not fit.
bool JoinPath(char* out, const char* folder, const char* name);
// A shortcut's name must stay a file of the folder it is put in.
bool IsPlainFileName(const char* name);
// The desktop an entry's shortcut goes on (260 bytes): all users' on the NT
// family when the entry asks for it, else the user's own. False when the
// shell cannot give it.
bool DesktopFolder(uint32_t entryFlags, char* out);
// "" for an empty item, else the item below the destination folder. False
// when it does not fit.
bool ShortcutIconPath(Setup& setup, char* out, const char* item);
// The item with its PathVariables expanded, to be freed; null when memory ran out.
char* ExpandShortcutArguments(Setup& setup, const char* item);
