#include <gtest/gtest.h>

#include <string>

#include "fixtures.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "package_writer.h"

namespace {

using Folders = InstallerTest;

// The loading tests cover the default and "#parent#" across types; these rows the folder a former install stored.
TEST_F(Folders, PreviousFolderTable) {
  Fake.AddFolder("C:\\Program Files\\Other");
  Fake.AddFolder("C:\\Program Files\\App");
  Fake.files = {"C:\\Program Files\\App\\app.exe"};
  const std::string kApp = "C:\\Program Files\\App", kOther = "C:\\Program Files\\Other";
  const std::tuple<std::string, std::optional<std::string>, std::optional<std::string>, std::string> cases[] = {
      // default, HKCU Software\Demo Path, demo.ini [Setup] Path, the folder
      {"#Windows#\\Demo", {}, {}, "C:\\WINDOWS\\Demo"},
      {"#PARENT#", kApp + "\\app.exe", {}, "C:\\Program Files"},  // a file names its folder
      {"C:\\Default", "c:\\program files\\app", {}, "c:\\Program Files\\App"},  // spelt as stored
      {"C:\\Default", "C:\\Gone\\a.exe", {}, "C:\\Default"},
      {"C:\\Default", {}, kOther, kOther}, {"C:\\Default", kApp, kOther, kApp},
  };
  InstallTypeFields plan;
  plan.folderKey = "Software\\Demo";
  plan.folderValue = plan.iniKey = "Path";
  plan.iniFile = "demo.ini";
  plan.iniSection = "Setup";
  for (auto& [defaultFolder, registryValue, iniValue, expected] : cases) {
    plan.defaultFolder = defaultFolder;
    Fake.registry.clear(), Fake.ini.clear();
    if (registryValue) Fake.registry["1|Software\\Demo|Path"] = *registryValue;
    if (iniValue) Fake.ini["demo.ini|Setup|Path"] = *iniValue;
    Bytes record = InstallTypeRecord(plan);
    InstallTypeSlot slot{record.data(), uint32_t(record.size())};
    ASSERT_TRUE(ResolveInstallType(&slot));
    DetectPreviousFolder(&slot);
    EXPECT_EQ(InstallFolder, expected) << defaultFolder << " " << registryValue.value_or("-");
  }
}

}  // namespace
