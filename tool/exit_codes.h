// The exit codes of `wrenly`; docs/command-line.md lists the same table.
#pragma once
#include "builder/error.h"
#include "reader/reader.h"

namespace wrenly::tool {

enum ExitCode : int {
  kDone = 0,
  kRefused = 1,        // the project or one of its inputs is refused; warnings with --warnings-as-errors
  kUsage = 2,          // the command line is wrong
  kDamaged = 3,        // inspect, extract: not a setup program, or its package is damaged
  kOutput = 4,         // an output cannot be written: refused name, folder, disk
  kSigning = 5,        // the signing command failed
  kInterrupted = 128,  // plus the signal: 129 for SIGHUP, 130 for SIGINT, 143 for SIGTERM
};

// The table `wrenly --help` ends with.
inline constexpr char kExitCodeHelp[] =
    "Exit codes:\n"
    "  0        done (a build may have printed warnings)\n"
    "  1        the project or one of its inputs is refused; warnings under --warnings-as-errors\n"
    "  2        the command line is wrong\n"
    "  3        inspect, extract: not a setup program, or its package is damaged\n"
    "  4        an output cannot be written: refused output name, folder, disk\n"
    "  5        the signing command failed\n"
    "  130/143  interrupted by SIGINT/SIGTERM (129: SIGHUP); nothing new is left behind";

inline int ExitCodeOf(builder::Failure failure) {
  switch (failure) {
    case builder::Failure::Output: return kOutput;
    case builder::Failure::Signing: return kSigning;
    case builder::Failure::Input: break;
  }
  return kRefused;
}

inline int ExitCodeOf(inspector::ReadResult result) {
  switch (result) {
    case inspector::kSound: return kDone;
    case inspector::kBadRequest: return kUsage;
    case inspector::kDamaged: return kDamaged;
    case inspector::kCannotWrite: return kOutput;
    case inspector::kUnreadable: break;
  }
  return kRefused;  // the file cannot be opened or read: an input refused
}

}  // namespace wrenly::tool
