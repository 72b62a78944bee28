// Codes the Installer's rooms hand each other. Kept free of Windows headers
// so that every room, and the native tests, may include it.
#pragma once
#include <stdint.h>

#include "format/install_type.h"
#include "format/settings.h"

// ResultCode (0: no failure). The number is also that of the list-7 text
// that gives the reason, and the run's exit code.
inline constexpr int kResultFolderInvalid = wrenly::format::msg::kBadFolder;
inline constexpr int kResultNoSpace = wrenly::format::msg::kNotEnoughSpace;
inline constexpr int kResultCancelled = wrenly::format::msg::kCancelled;
inline constexpr int kResultPackageUnreadable = wrenly::format::msg::kCannotOpen;
inline constexpr int kResultCannotWrite = wrenly::format::msg::kCannotWrite;
inline constexpr int kResultVolumeMissing = wrenly::format::msg::kCannotReadVolume;
inline constexpr int kResultFileDamaged = wrenly::format::msg::kFileDamaged;
inline constexpr int kResultPackageIncomplete = wrenly::format::msg::kPackageIncomplete;
// Exit codes besides 0 and the result codes. The large ones are those that
// deployment tools read the same way from every installer.
enum ExitCode : int {
  kExitOk = 0,
  kExitStartupFailed = -1,        // no package, or no window
  kExitRestartNeeded = -2,        // an interactive run that needs a restart
  kExitCancelled = 1602,          // the user cancelled; nothing was registered
  kExitAlreadyRunning = 1618,     // another setup program is running
  kExitUnsupportedSystem = 1633,  // a 64-bit product on 32-bit Windows
  kExitNewerInstalled = 1638,     // a newer version is installed, and the package allows no downgrade
  kExitBadCommandLine = 1639,     // /I names no installation type
  kExitRestartRequired = 3010,    // a quiet run that needs a restart
};

// Not a result: the user chose not to create the folder.
inline constexpr int kFolderDeclined = -1;

// PageResult (0: none): the id of the ButtonBar button that left the page.
inline constexpr int kPageResultNext = wrenly::format::kIdNext;
inline constexpr int kPageResultCancel = wrenly::format::kIdCancel;
inline constexpr int kPageResultBack = wrenly::format::kIdBack;

// The ButtonBar's buttons as ButtonMask bits.
enum ButtonBits : uint32_t {
  kButtonBack = 0x1,
  kButtonNext = 0x2,
  kButtonCancel = 0x4,
  kCancelWithoutQuestion = 0x100,
};

// Which marked entries RunItems starts, and in which run.
enum RunPass { kRunEverything = 0, kRunProgramsOnly = 1, kRunDocumentsOnly = 2 };
enum RunTime { kInResumedRun = 0, kInThisRun = 1 };
