#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer_fixture.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "package_writer.h"

namespace {

using Folders = InstallerTest;

TEST_F(Folders, BackgroundVariantSuitsTheScreen) {
  const std::vector<std::pair<int, int>> three = {{800, 600}, {1024, 768}, {1280, 1024}};
  const std::tuple<int, int, std::vector<std::pair<int, int>>, int> cases[] = {  // screen, variants, chosen
      {1024, 768, three, 1}, {1152, 864, three, 2},
      {1024, 768, {{1600, 1200}, {1280, 1024}}, 1},            {1024, 768, {{640, 480}, {800, 600}}, 1},
      {1024, 768, {{800, 600}, {800, 600}}, 0},                {1024, 768, {{1280, 700}, {1100, 800}}, 0},
      {1024, 768, {{800, 600}, {640, 480}}, 0},                {1024, 768, {{1280, 1024}, {800, 600}}, 0},
      {1024, 768, {}, -1},
  };
  for (auto& [w, h, variants, chosen] : cases) {
    Fake.screenWidth = w;
    Fake.screenHeight = h;
    Bytes list = VariantList(variants);
    EXPECT_EQ(ChooseBackgroundVariant(list.data()), chosen) << w << "x" << h << ", " << variants.size();
  }
}

TEST_F(Folders, PreviousFolderTable) {
  Fake.AddFile("C:\\Program Files\\App\\app.exe");
  Fake.AddFolder("C:\\Program Files\\Other");
  Fake.shortNames["c:\\progra~1"] = "C:\\Program Files";
  const std::string kApp = "C:\\Program Files\\App", kOther = "C:\\Program Files\\Other";
  struct {
    std::optional<std::string> defaultFolder, registryValue, iniValue;  // HKCU Software\Demo Path, demo.ini
    std::string previousFolder, expected;
  } cases[] = {
      {"#Windows#\\Demo", {}, {}, "", "C:\\WINDOWS\\Demo"},
      {"C:\\Default", kApp + "\\app.exe", {}, "", kApp},  // a file names its folder
      {"#parent#", kApp + "\\app.exe", {}, "", "C:\\Program Files"},
      {"#PARENT#", kApp, {}, "", "C:\\Program Files"},
      {"C:\\Default", "c:\\progra~1\\app", {}, "", "c:\\Program Files\\App"},  // short form spelt as stored
      {"C:\\Default", "C:\\Gone\\There", {}, "", "C:\\Default"},
      {"C:\\Default", "C:\\Gone\\a.exe", {}, "", "C:\\Default"},
      // Keeps the folder of the type before.
      {"#parent#", {}, {}, "D:\\First", "D:\\First"}, {{}, {}, {}, "D:\\First", "D:\\First"},
      {"C:\\Default", {}, kOther, "", kOther}, {"C:\\Default", kApp, kOther, "", kApp},
  };
  InstallTypeSpec plan;
  plan.folderKey = "Software\\Demo";
  plan.folderValue = "Path";
  plan.iniFile = "demo.ini";
  plan.iniSection = "Setup";
  plan.iniKey = "Path";
  for (auto& c : cases) {
    plan.defaultFolder = c.defaultFolder;
    Fake.registry.erase("1|Software\\Demo|Path");
    Fake.ini.erase("demo.ini|Setup|Path");
    if (c.registryValue) Fake.registry["1|Software\\Demo|Path"] = *c.registryValue;
    if (c.iniValue) Fake.ini["demo.ini|Setup|Path"] = *c.iniValue;
    std::strcpy(InstallFolder, c.previousFolder.c_str());
    Bytes record = InstallTypeRecord(plan);
    InstallTypeSlot slot{record.data(), uint32_t(record.size())};
    ASSERT_TRUE(ResolveInstallType(&slot));
    DetectPreviousFolder(&slot);
    EXPECT_EQ(InstallFolder, c.expected) << c.defaultFolder.value_or("-") << c.registryValue.value_or("-");
  }
}

TEST_F(Folders, MatchPathCaseTable) {
  Fake.AddFolder("C:\\Program Files\\My App");
  Fake.shortNames["c:\\progra~1"] = "C:\\Program Files";
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\progra~1\\my app", "C:\\Program Files\\My App"}, {"C:\\\\program files\\", "C:\\Program Files"},
      {"C:\\program files\\missing", "C:\\program files\\missing"}};
  for (auto& [in, out] : cases) {
    char path[260];
    MatchPathCase(std::strcpy(path, in));
    EXPECT_STREQ(path, out) << in;
  }
}

TEST(PageSequence, ClosingTable) {
  const std::pair<Bytes, Bytes> cases[] = {
      {{0, 1, 3, 4, 5, 6, 0xFF}, {0, 1, 3, 4, 5, 6, 10, 0xFF}}, {{0xFF}, {10, 0xFF}},
      {{0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 0xFF}, {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 10, 0xFF}},
      {{0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 0xFF}, {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 0xFF}},  // no room left
  };
  for (auto [seq, want] : cases) {
    seq.resize(12, 0);
    want.resize(12, 0);
    ClosePageSequence(seq.data());
    EXPECT_EQ(seq, want);
  }
}

}  // namespace
