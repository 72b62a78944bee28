#include "system/run_once.h"

#include "base/run_log.h"
#include "base/setup.h"
#include "platform/system.h"

namespace {
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr int kRunOnceNames = 100;
}  // namespace

int AddRunOnceCommand(Setup& setup, const char* command) {
  char name[] = "OrinLaunch000";
  char* digits = name + sizeof name - 4;
  while (setup.runOnceNumber < kRunOnceNames) {
    int n = setup.runOnceNumber++;
    digits[0] = (char)('0' + n / 100), digits[1] = (char)('0' + n / 10 % 10), digits[2] = (char)('0' + n % 10);
    // A per-user product cannot write the machine's list; its user's runs
    // at that user's next logon.
    uint32_t hive = ProductHive(setup);
    if (RegistryValueExists(hive, kRunOnceKey, name)) continue;
    LogAction(setup, "run after the restart", command);
    return SetRegistryString(hive, kRunOnceKey, name, command);
  }
  return 1;
}
