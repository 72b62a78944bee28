#include "system/upgrade.h"

#include <string.h>

#include "base/run_log.h"
#include "format/uninstall_log.h"
#include "package/entry_destination.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/removal.h"
#include "text/path_services.h"

namespace wf = wrenly::format;

namespace {
// A signed uninstaller's record lies beside it; an older one's in it.
void RecordFileOf(const char* uninstaller, char* out) {
  if (!wf::RecordFileBeside(uninstaller, out, kPathSize) || !NamedFileExists(out))
    JoinText(out, kPathSize, uninstaller, "");
}

void Forget(Setup& setup) {
  if (setup.installed.recordCopy[0]) DeleteNamedFile(setup.installed.recordCopy);
  setup.installed.recordCopy[0] = 0;
}
}  // namespace

void KeepPreviousRecord(Setup& setup) {
  InstalledProduct& previous = setup.installed;
  char record[kPathSize], temp[kPathSize] = "", name[kPathSize];
  if (previous.state == kNotInstalled || !previous.uninstaller[0] || previous.recordCopy[0]) return;
  RecordFileOf(previous.uninstaller, record);
  if (GetTempFolder(temp)) StripBackslash(temp);
  if (!temp[0] || !JoinText(name, sizeof name, temp, "\\wrenly-previous.dat") ||
      MakeTemporaryName(name, previous.recordCopy, kPathSize) != 0 || !CopyToNewFile(record, previous.recordCopy)) {
    // Without it the old version's files that the new one lacks stay.
    LogAction(setup, "the installed version's record could not be kept", record);
    previous.recordCopy[0] = 0;
    return;
  }
  LogAction(setup, "installed version's record kept", record);
}

void RemovePreviousVersion(Setup& setup) {
  InstalledProduct& previous = setup.installed;
  if (!previous.recordCopy[0]) return;
  if (setup.resultCode == 0 && !setup.userCancelled && setup.uninstallerPath[0]) {
    char command[3 * kPathSize + 64];
    bool fits = JoinText(command, sizeof command, "\"", setup.uninstallerPath, "\" /Q ") &&
                JoinText(command, sizeof command, command, wf::kUninstallPreviousSwitch, "\"") &&
                JoinText(command, sizeof command, command, previous.recordCopy, "\" ");
    fits = fits && JoinText(command, sizeof command, command, wf::kUninstallFolderSwitch, "\"") &&
           JoinText(command, sizeof command, command, previous.folder, "\"");
    ProcessHandle process = fits ? StartProcess(command) : nullptr;
    if (process) {
      LogNumber(setup, "the old version's own parts removed, exit code", (int)WaitForExitCode(process));
      CloseProcess(process);
    } else {
      LogAction(setup, "the old version's own parts could not be removed", command);
    }
  }
  Forget(setup);
}
