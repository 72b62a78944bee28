// The completion step: the uninstall record, the product's entry in the list
// of installed programs, the folder in the registry and an INI file, the
// components' registration and the programs run after the installation.
#include "system/finish_installation.h"

#include "base/package_model.h"
#include "base/run_log.h"
#include "base/setup.h"
#include "format/install_type.h"
#include "format/uninstall_log.h"
#include "package/data_area.h"
#include "platform/file_system.h"
#include "platform/removal.h"
#include "platform/system.h"
#include "system/registration.h"
#include "system/run_items.h"
#include "system/shortcuts.h"
#include "system/uninstall_record.h"
#include "system/upgrade.h"
#include "text/path_services.h"

using namespace wrenly::format;

namespace {
// The installation folder without its trailing backslash (260 bytes).
void FolderWithoutBackslash(Setup& setup, char* folder) {
  JoinText(folder, kPathSize, setup.installFolder, "");
  StripBackslash(folder);
}

// Only while the record is open: the list of installed programs never
// points at an uninstaller that holds no record.
void RegisterProduct(Setup& setup, const InstallTypeSlot& type) {
  const char* product = type.productName;
  if (!(LoadU16(type.record + install_type::kOptions) & kOptRegisterUninstall) || !product || !product[0]) return;
  // The identity names the key, so that every version of the product finds it.
  const char* id = setup.package.productId ? setup.package.productId : product;
  uint32_t hive = ProductHive(setup);
  char key[sizeof kUninstallKeyPrefix + kPathSize], command[kPathSize + 2], quiet[kPathSize + 6];
  char folder[kPathSize];
  if (!JoinText(key, sizeof key, kUninstallKeyPrefix, id)) return;
  // An earlier version's values go: the entry describes this one alone.
  if (setup.installed.state != kNotInstalled) DeleteRegistryTree(hive, key);
  // Quoted: the list of installed programs runs it as a command line.
  JoinText(command, sizeof command, "\"", setup.uninstallerPath, "\"");
  JoinText(quiet, sizeof quiet, command, " ", kUninstallSilentSwitch);
  FolderWithoutBackslash(setup, folder);
  const char* values[][2] = {
      {kUninstallDisplayName, product},
      {kUninstallCommand, command},
      {kUninstallQuietCommand, quiet},
      {kUninstallLocation, folder},
      {kUninstallIcon, setup.uninstallerPath},
      {kUninstallVersion, setup.package.detailTexts[product_details::kVersion]},
      {kUninstallPublisher, setup.package.detailTexts[product_details::kPublisher]},
      {kUninstallUrl, setup.package.detailTexts[product_details::kUrl]},
  };
  for (const auto& v : values) {
    if (!v[1] || !v[1][0]) continue;
    SetRegistryString(hive, key, v[0], v[1]);
    LogRegistryValue(setup, hive, key, v[0], v[1]);
  }
  // Nothing to change or mend in place: the list offers removal only.
  const char* const fixed[] = {kUninstallNoModify, kUninstallNoRepair};
  for (const char* name : fixed) {
    SetRegistryDword(hive, key, name, 1);
    LogRegistryValue(setup, hive, key, name, "1");
  }
}

void StoreFolder(Setup& setup, const InstallTypeSlot& type) {
  uint16_t options = LoadU16(type.record + install_type::kOptions);
  char folder[kPathSize];
  FolderWithoutBackslash(setup, folder);
  if ((options & kOptFolderInRegistry) && type.folderKey) {
    uint32_t root = ProductRoot(setup, LoadU32(type.record + install_type::kFolderRoot));
    const char* value = type.folderValue ? type.folderValue : "";
    SetRegistryString(root, type.folderKey, value, folder);
    LogRegistryValue(setup, root, type.folderKey, value, folder);
  }
  if ((options & kOptFolderInIni) && type.iniFile && type.iniSection && type.iniKey) {
    WriteProfileEntry(type.iniFile, type.iniSection, type.iniKey, folder);
    FlushProfile(type.iniFile);
    LogIniEntry(setup, type.iniFile, type.iniSection, type.iniKey, folder);
  }
}
}  // namespace

void FinishInstallation(Setup& setup) {
  CloseDataArea(setup);
  setup.run.finished = true;
  // Nothing is registered for a product the user abandoned.
  const InstallTypeSlot* type = setup.userCancelled ? nullptr : setup.package.currentType;
  if (setup.resultCode == 0 && type) {
    FileHandle record = BeginUninstallRecord(setup);
    CreateStartMenuShortcuts(setup, record);
    if (record != INVALID_FILE) {
      RegisterProduct(setup, *type);
      EndUninstallRecord(setup, record);
    }
    if (!setup.singlePageMode) {
      StoreFolder(setup, *type);
      RegisterComponents(setup);
      RunItems(setup, kRunAfterInstall, kRunEverything, kInThisRun);
    }
  }
  RemovePreviousVersion(setup);
}
