#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer_fixture.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "package_writer.h"

namespace {

struct Screen {
  int w, h;
};

struct BackgroundCase {
  Screen screen;
  std::vector<std::pair<int, int>> variants;
  int chosen;
};

class Background : public InstallerTest, public ::testing::WithParamInterface<BackgroundCase> {};

TEST_P(Background, PicksTheVariantThatSuitsTheScreen) {
  const BackgroundCase& c = GetParam();
  Fake.screenWidth = c.screen.w;
  Fake.screenHeight = c.screen.h;
  Bytes list = VariantList(c.variants);
  EXPECT_EQ(ChooseBackgroundVariant(list.data()), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Background,
    ::testing::Values(
        BackgroundCase{{1024, 768}, {{800, 600}, {1024, 768}, {1280, 1024}}, 1},
        BackgroundCase{{1152, 864}, {{800, 600}, {1024, 768}, {1280, 1024}}, 2},
        BackgroundCase{{1024, 768}, {{1600, 1200}, {1280, 1024}}, 1},
        BackgroundCase{{1024, 768}, {{640, 480}, {800, 600}}, 1},
        BackgroundCase{{1024, 768}, {{800, 600}, {800, 600}}, 0},
        BackgroundCase{{1024, 768}, {{1280, 700}, {1100, 800}}, 0},
        BackgroundCase{{1024, 768}, {{800, 600}, {640, 480}}, 0},
        BackgroundCase{{1024, 768}, {{1280, 1024}, {800, 600}}, 0},
        BackgroundCase{{1024, 768}, {}, -1}));

struct FolderCase {
  const char* name;
  std::optional<std::string> defaultFolder;
  std::optional<std::string> registryValue;  // under HKCU Software\Demo, value Path
  std::optional<std::string> iniValue;       // demo.ini [Setup] Path
  std::string previousFolder;                // left by the type before
  std::string expected;
};

class PreviousFolder : public InstallerTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(PreviousFolder, InitialFolderTable) {
  const FolderCase& c = GetParam();
  Fake.AddFile("C:\\Program Files\\App\\app.exe");
  Fake.AddFolder("C:\\Program Files\\Other");
  Fake.shortNames["c:\\progra~1"] = "C:\\Program Files";
  InstallTypeSpec plan;
  plan.defaultFolder = c.defaultFolder;
  plan.folderKey = "Software\\Demo";
  plan.folderValue = "Path";
  plan.iniFile = "demo.ini";
  plan.iniSection = "Setup";
  plan.iniKey = "Path";
  if (c.registryValue) Fake.registry["1|Software\\Demo|Path"] = *c.registryValue;
  if (c.iniValue) Fake.ini["demo.ini|Setup|Path"] = *c.iniValue;
  std::strcpy(InstallFolder, c.previousFolder.c_str());

  Bytes record = InstallTypeRecord(plan);
  InstallTypeSlot slot{};
  slot.record = record.data();
  slot.recordSize = record.size();
  ASSERT_TRUE(ResolveInstallType(&slot));
  DetectPreviousFolder(&slot);
  EXPECT_STREQ(InstallFolder, c.expected.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviousFolder,
    ::testing::Values(
        FolderCase{"DefaultOnly", "#Windows#\\Demo", {}, {}, "", "C:\\WINDOWS\\Demo"},
        FolderCase{"RegistryNamesAFile", "C:\\Default", "C:\\Program Files\\App\\app.exe", {}, "",
                   "C:\\Program Files\\App"},
        FolderCase{"ParentOfAFile", "#parent#", "C:\\Program Files\\App\\app.exe", {}, "",
                   "C:\\Program Files"},
        FolderCase{"ParentIgnoresCase", "#PARENT#", "C:\\Program Files\\App", {}, "", "C:\\Program Files"},
        FolderCase{"ShortFormSpeltAsStored", "C:\\Default", "c:\\progra~1\\app", {}, "",
                   "c:\\Program Files\\App"},
        FolderCase{"MissingFolderIgnored", "C:\\Default", "C:\\Gone\\There", {}, "", "C:\\Default"},
        FolderCase{"MissingFileFolderIgnored", "C:\\Default", "C:\\Gone\\app.exe", {}, "", "C:\\Default"},
        FolderCase{"ParentKeepsPreviousType", "#parent#", {}, {}, "D:\\First", "D:\\First"},
        FolderCase{"AbsentDefaultKeepsPrevious", {}, {}, {}, "D:\\First", "D:\\First"},
        FolderCase{"IniValueIsTheCandidate", "C:\\Default", {}, "C:\\Program Files\\Other", "",
                   "C:\\Program Files\\Other"},
        FolderCase{"RegistryWinsOverIni", "C:\\Default", "C:\\Program Files\\App", "C:\\Program Files\\Other",
                   "", "C:\\Program Files\\App"},
        FolderCase{"IniValueMissingFolder", "C:\\Default", {}, "C:\\Nowhere", "", "C:\\Default"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallerTest, MatchPathCaseTable) {
  Fake.AddFolder("C:\\Program Files\\My App");
  Fake.shortNames["c:\\progra~1"] = "C:\\Program Files";
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"c:\\program files\\my app", "c:\\Program Files\\My App"},
      {"C:\\\\program files\\", "C:\\Program Files"},
      {"C:\\program files\\missing", "C:\\program files\\missing"},
      {"C:\\progra~1\\my app", "C:\\Program Files\\My App"},
  };
  for (auto& c : cases) {
    char path[260];
    std::strcpy(path, c.in);
    MatchPathCase(path);
    EXPECT_STREQ(path, c.out) << c.in;
  }
}

TEST(PageSequence, ClosingTable) {
  struct {
    Bytes in, out;
  } cases[] = {
      {{0, 1, 3, 4, 5, 6, 0xFF}, {0, 1, 3, 4, 5, 6, 10, 0xFF}},
      {{0xFF}, {10, 0xFF}},
      {{0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 0xFF}, {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 10, 0xFF}},
      {{0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 0xFF}, {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 0xFF}},
  };
  for (auto& c : cases) {
    Bytes seq = c.in, want = c.out;
    seq.resize(12, 0);
    want.resize(12, 0);
    ClosePageSequence(seq.data());
    EXPECT_EQ(seq, want);
  }
}

}  // namespace
