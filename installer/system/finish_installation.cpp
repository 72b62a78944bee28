// The completion step: the uninstall record, the product's entry in the list
// of installed programs, the folder in the registry and an INI file, the
// components' registration and the programs run after the installation.
#include "format/install_type.h"
#include "format/uninstall_log.h"
#include "install/install_run.h"
#include "package/package_model.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "startup/run_state.h"
#include "system/registration.h"
#include "system/run_items.h"
#include "system/shortcuts.h"
#include "system/uninstall_record.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
// The installation folder without its trailing backslash (260 bytes).
void FolderWithoutBackslash(char* folder) {
  JoinText(folder, kPathSize, InstallFolder, "");
  StripBackslash(folder);
}

// Only while the record is open: the list of installed programs never
// points at an uninstaller that holds no record.
void RegisterProduct(const InstallTypeSlot& type) {
  const char* product = type.productName;
  if (!(LoadU16(type.record + install_type::kOptions) & kOptRegisterUninstall) || !product || !product[0]) return;
  char key[sizeof kUninstallKeyPrefix + kPathSize], command[kPathSize + 2], quiet[kPathSize + 6];
  char folder[kPathSize];
  if (!JoinText(key, sizeof key, kUninstallKeyPrefix, product)) return;
  // Quoted: the list of installed programs runs it as a command line.
  JoinText(command, sizeof command, "\"", UninstallerPath, "\"");
  JoinText(quiet, sizeof quiet, command, " ", kUninstallSilentSwitch);
  FolderWithoutBackslash(folder);
  const char* values[][2] = {
      {kUninstallDisplayName, product},
      {kUninstallCommand, command},
      {kUninstallQuietCommand, quiet},
      {kUninstallLocation, folder},
      {kUninstallIcon, UninstallerPath},
      {kUninstallVersion, ThePackage.detailTexts[product_details::kVersion]},
      {kUninstallPublisher, ThePackage.detailTexts[product_details::kPublisher]},
      {kUninstallUrl, ThePackage.detailTexts[product_details::kUrl]},
  };
  for (const auto& v : values)
    if (v[1] && v[1][0]) SetRegistryString(kRootLocalMachine, key, v[0], v[1]);
  // Nothing to change or mend in place: the list offers removal only.
  SetRegistryDword(kRootLocalMachine, key, kUninstallNoModify, 1);
  SetRegistryDword(kRootLocalMachine, key, kUninstallNoRepair, 1);
}

void StoreFolder(const InstallTypeSlot& type) {
  uint16_t options = LoadU16(type.record + install_type::kOptions);
  char folder[kPathSize];
  FolderWithoutBackslash(folder);
  if ((options & kOptFolderInRegistry) && type.folderKey)
    SetRegistryString(LoadU32(type.record + install_type::kFolderRoot), type.folderKey,
                      type.folderValue ? type.folderValue : "", folder);
  if ((options & kOptFolderInIni) && type.iniFile && type.iniSection && type.iniKey) {
    WriteProfileEntry(type.iniFile, type.iniSection, type.iniKey, folder);
    FlushProfile(type.iniFile);
  }
}
}  // namespace

void FinishInstallation() {
  CloseDataArea();
  Run.finished = true;
  // Nothing is registered for a product the user abandoned.
  if (UserCancelled) return;
  const InstallTypeSlot* type = ThePackage.currentType;
  if (ResultCode == 0 && type) {
    FileHandle record = BeginUninstallRecord();
    CreateStartMenuShortcuts(record);
    if (record != INVALID_FILE) {
      RegisterProduct(*type);
      EndUninstallRecord(record);
    }
    if (!SinglePageMode) {
      StoreFolder(*type);
      RegisterComponents();
      RunItems(kRunAfterInstall, kRunEverything, kInThisRun);
    }
  }
  if (!SinglePageMode) GoToPageKind(kPageFinish);
}
