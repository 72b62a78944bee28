// The uninstaller's command line. Users and scripts give /Q (or /S, as
// before) and /L with a log file; the original gives its temporary copy
// those and /RUN=PIPE,PROCESS (inherited handles) followed by its own path
// in quotes.
#pragma once
#include <stdint.h>

namespace wrenly::uninstaller {

inline constexpr uint32_t kCommandPathSize = 260;

struct UninstallCommand {
  bool silent;                 // /S or /Q: no window, no question
  bool quiet;                  // /Q: the exit codes deployment tools read
  char log[kCommandPathSize];  // /L<path>, /L"path"; empty: no log
  // An upgrade (/P, /F): what the record in `previous` holds and this one's
  // does not goes; `previousFolder` is where it was installed. No window.
  char previous[kCommandPathSize];
  char previousFolder[kCommandPathSize];
  bool copy;  // this is the temporary copy: the fields below are set
  uint64_t pipe, process;
  char original[kCommandPathSize];
};

// 1 when line (without the program's own name) is understood.
int ParseUninstallCommand(const char* line, UninstallCommand* out);
// The copy's whole command line: its path quoted, then what the original
// hands it. 0 when it does not fit.
int FormatCopyCommand(const char* copyPath, const UninstallCommand& command, char* out, uint32_t size);

}  // namespace wrenly::uninstaller
