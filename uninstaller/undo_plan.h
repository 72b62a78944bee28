// What an uninstallation does, in the order it does it, built from a checked
// uninstaller file before anything is touched. The program that removes and
// the inspector that shows what would be removed read the same list.
#pragma once
#include <stdint.h>

#include "uninstaller/path_rules.h"
#include "uninstaller/record_reader.h"

namespace wrenly::uninstaller {

// In plan order: components unregister while their files are still there;
// files before the folders that hold them; folders deepest first; the
// registry and INI values last, so that an interrupted run can be repeated
// from the list of installed programs.
enum UndoKind : uint8_t {
  kUndoUnregister,     // call the file's DllUnregisterServer
  kUndoFile,           // delete the file (a folder of that name is left alone)
  kUndoSharedFile,     // lower its SharedDLLs count; at 0 delete the file and the value
  kUndoFont,           // out of the system's font table and its Fonts value, then delete
  kUndoShortcut,       // a Start-menu shortcut file
  kUndoGroup,          // a Start-menu group, removed when empty; never a shell folder itself
  kUndoFolder,         // a recorded folder, removed when empty
  kUndoRegistryKey,    // root, key: the key with its subkeys
  kUndoRegistryValue,  // root, key, value name ("": the key's default value)
  kUndoIniValue,       // file, section, key
};

struct UndoStep {
  UndoKind kind;
  PathRefusal refusal;  // kPathGood, or why the step is skipped and counted as left
  uint32_t root;        // registry steps: a RegistryRoot number
  const char* path;     // full path; registry: key; INI: file
  const char* name;     // registry: value name; INI: section
  const char* key;      // INI: key
  uint32_t record;      // the record it comes from, counted from 0 (the oldest)
  bool wide;            // the record is a 64-bit product's: the 64-bit registry view and system folder
};

struct UndoFolders {
  const char* install;  // the installation folder, with or without its trailing backslash
  const char* windows;
  const char* system;
  // The folders shortcut groups may lie below: the Start menu, Programs,
  // Startup and desktop folders. In these, "*" stands for one whole
  // component and "?" for one character.
  const char* const* menus;
  uint32_t menuCount;
};

// Where Windows keeps the Start menus of any user and of all users, for a
// record written on another account or another machine.
inline constexpr const char* kTypicalMenuFolders[] = {
    "?:\\Users\\*\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
    "?:\\Users\\*\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
    "?:\\Users\\*\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
    "?:\\ProgramData\\Microsoft\\Windows\\Start Menu",
    "?:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
    "?:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
    "?:\\Documents and Settings\\*\\Start Menu",
    "?:\\Documents and Settings\\*\\Start Menu\\Programs",
    "?:\\Documents and Settings\\*\\Start Menu\\Programs\\Startup",
};
inline constexpr uint32_t kTypicalMenuFolderCount = sizeof kTypicalMenuFolders / sizeof *kTypicalMenuFolders;

struct UndoPlan {
  UndoStep* steps;
  uint32_t count;
  uint32_t records;
  void* storage;  // one allocation holds the steps and their strings
};

// The file must have passed ReadUninstallFile. 1 on success, 0 when memory
// ran out (or the file does not pass). Every string is non-null.
int BuildUndoPlan(const uint8_t* bytes, uint32_t size, const UndoFolders& folders, UndoPlan* plan);
void FreeUndoPlan(UndoPlan* plan);
// Leaves in plan only what newer does not take as well: what an earlier
// version installed that this one no longer has. Its folders and groups
// that the newer version shares stay whole.
void SubtractPlan(UndoPlan* plan, const UndoPlan& newer);

// The installation folder: ownPath (the uninstaller's full path) less the
// place text (its path below that folder), compared without regard to case.
// When the place does not match, the folder of ownPath. No trailing
// backslash. 1 on success, 0 when it does not fit.
int FindInstallFolder(const char* ownPath, TextView place, char* out, uint32_t outSize);

}  // namespace wrenly::uninstaller
