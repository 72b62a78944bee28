#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "format/block_ids.h"
#include "install/destination.h"
#include "package/package_model.h"

namespace {

namespace fs = std::filesystem;

// The per-entry step over real files: a package with the given entries is
// loaded, the run started, and InstallNextEntry called until it stops.
class EntryStep : public EngineTest {
 protected:
  // Appends content as a zlib entry (or with the given method byte) to the
  // DataArea and points the plan at it.
  void AddData(EntryPlan& plan, const std::string& content, uint8_t method = 1) {
    Bytes raw(content.begin(), content.end());
    Bytes stored{method};
    Bytes z = Zlib(raw);
    stored.insert(stored.end(), z.begin(), z.end());
    plan.dataOffset = (uint32_t)area.size();
    plan.storedLength = (uint32_t)stored.size();
    plan.size = (uint32_t)raw.size();
    plan.checksum = wf::UpdateFileChecksum(0, raw.data(), raw.size());
    area.insert(area.end(), stored.begin(), stored.end());
  }
  // Runs the entries; returns how many calls returned 1.
  int Install(const std::vector<EntryPlan>& plans, uint16_t typeOptions = 0, const Bytes& uninstaller = {}) {
    InstallTypeSpec plan;
    plan.lists[7] = EngineMessages();
    PackageImage p;
    p.Add(wf::kBlockSetupSettings, SettingsBlock()).AddType(plan).Add(wf::kBlockFileTable, PlanTable(plans));
    if (!uninstaller.empty()) p.Add(wf::kBlockUninstallerImage, uninstaller);
    p.dataArea = area;
    SetOwnPath(WriteTempFile("setup.exe", p.Build()));
    EXPECT_EQ(LoadPackage(), 1);
    wf::StoreU16(const_cast<uint8_t*>(ThePackage.currentType->record), typeOptions);
    std::strncpy(InstallFolder, (scratch + "/").c_str(), kPathSize - 1);
    ::Run.destinationChecked = true;
    EXPECT_EQ(StartInstallation(), 1);
    int handled = 0;
    while (InstallNextEntry()) ++handled;
    return handled;
  }
  uint16_t Status(int n) const {
    const uint8_t* e = ThePackage.firstEntry;
    for (int i = 0; i < n; ++i) e += wf::LoadU32(e);
    return wf::LoadU16(e + 4);
  }
  std::optional<std::string> Content(const std::string& name) const {
    if (!fs::exists(Path(name))) return std::nullopt;
    return ReadAll(Path(name));
  }
  // Names in the scratch folder other than the given ones.
  std::vector<std::string> Leftovers(std::vector<std::string> expected) const {
    std::vector<std::string> extra;
    for (const auto& f : fs::directory_iterator(scratch)) {
      std::string n = f.path().filename().string();
      if (std::find(expected.begin(), expected.end(), n) == expected.end()) extra.push_back(n);
    }
    return extra;
  }

  Bytes area;
};

TEST_F(EntryStep, OneEntry) {
  struct {
    const char* name;
    std::optional<std::string> existing;  // data.txt before the run
    uint32_t flags = 0;
    uint16_t options = 0;
    uint8_t method = 1;
    bool wrongChecksum = false, acceptSwitch = false;
    std::deque<int> answers = {};
    bool locked = false, cancel = false;
    std::string item0 = "data.txt";
    int result = 0;  // then the outcome
    uint16_t status = 0;
    std::optional<std::string> after;  // data.txt after the run
    bool readOnly = false, restart = false;
  } cases[] = {
      {.name = "created", .status = 25, .after = "new content"},
      {.name = "replaced", .existing = "old", .status = 23, .after = "new content"},
      {.name = "only if missing keeps", .existing = "old", .flags = 0x40, .status = 501, .after = "old"},
      {.name = "only if missing creates", .flags = 0x40, .status = 25, .after = "new content"},
      {.name = "read-only option", .options = 4, .status = 25, .after = "new content", .readOnly = true},
      {.name = "bad method replaces nothing", .existing = "old", .method = 3, .result = 31, .after = "old"},
      {.name = "damaged accepted by /R", .wrongChecksum = true, .acceptSwitch = true, .answers = {7}, .status = 25,
       .after = "new content"},
      {.name = "damaged accepted by the answer", .wrongChecksum = true, .answers = {6}, .status = 25,
       .after = "new content"},
      {.name = "damaged refused", .existing = "old", .wrongChecksum = true, .answers = {7}, .result = 21,
       .after = "old"},
      {.name = "damaged, box closed", .existing = "old", .wrongChecksum = true, .answers = {2}, .result = 21,
       .after = "old"},
      {.name = "locked waits for the restart", .existing = "old", .locked = true, .status = 500, .after = "old",
       .restart = true},
      {.name = "locked, read-only option marks the waiting file", .existing = "old", .options = 4, .locked = true,
       .status = 500, .after = "old", .readOnly = true, .restart = true},
      {.name = "cancel leaves no temporary file", .existing = "old", .cancel = true, .after = "old"},
      {.name = "name leaving its folder", .item0 = "..\\data.txt", .result = 31},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    area.clear();
    if (c.existing) Write("data.txt", *c.existing);
    if (c.locked) FakeFiles.locked.insert(Path("data.txt"));
    Options.acceptDamaged = c.acceptSwitch;
    Ui.answers = c.answers;
    PageResult = c.cancel ? 2 : 0;
    EntryPlan plan;
    plan.flags = c.flags;
    plan.options = c.options;
    plan.items = {c.item0};
    AddData(plan, "new content", c.method);
    if (c.wrongChecksum) plan.checksum ^= 1;

    EXPECT_EQ(Install({plan}), c.result || c.cancel ? 0 : 1);
    EXPECT_EQ(ResultCode, c.result);
    EXPECT_EQ(Status(0), c.status);
    EXPECT_EQ(Content("data.txt"), c.after);
    EXPECT_EQ(FakeFiles.readOnly.count(Path(c.status == 500 ? "data.$$A" : "data.txt")) == 1, c.readOnly);
    EXPECT_EQ(RestartNeeded, c.restart);
    // Only a file waiting for the restart stays beside the destination.
    std::vector<std::string> expected = {"data.txt", "setup.exe"};
    if (c.restart) expected.push_back("data.$$A");
    EXPECT_EQ(Leftovers(expected), std::vector<std::string>{});
    EXPECT_STREQ(::Run.tempName, "");
    // The damaged question is asked, although the package has no text, unless /R.
    std::vector<unsigned> styles;
    for (auto& m : Ui.messages) styles.push_back(m.second);
    EXPECT_EQ(styles, c.wrongChecksum && !c.acceptSwitch ? std::vector<unsigned>{0x24} : std::vector<unsigned>());
    if (c.result == 21) EXPECT_EQ(std::string(ErrorArgument), Path("data.txt"));
  }
}

TEST_F(EntryStep, MissingVolumeKeepsItsOwnResultCode) {
  EntryPlan plan;
  AddData(plan, std::string(5000, 'v'));
  area.resize(area.size() / 2);  // the rest would be in setup.D01, which is absent
  Write("data.txt", "old");
  plan.items = {"data.txt"};
  EXPECT_EQ(Install({plan}), 0);
  EXPECT_EQ(ResultCode, 18);
  EXPECT_EQ(Content("data.txt"), "old");
  EXPECT_EQ(Leftovers({"data.txt", "setup.exe"}), std::vector<std::string>{});
}

TEST_F(EntryStep, UninstallerIsTheImageFollowedByItsData) {
  EntryPlan plan;
  plan.options = 2;
  plan.items = {"uninst.exe"};
  AddData(plan, "-record-");
  EXPECT_EQ(Install({plan}, 0, Bytes{'M', 'Z', 'x'}), 1);
  EXPECT_EQ(ResultCode, 0);
  EXPECT_EQ(Content("uninst.exe"), "MZx-record-");
  EXPECT_EQ(Status(0), 0);
  EXPECT_EQ(std::string(UninstallerPath), Path("uninst.exe"));
}

TEST_F(EntryStep, CompleteUninstallerStaysWhenTheTypeAppends) {
  // An existing uninstaller ending in an end header with the complete flag.
  Write("uninst.exe", std::string("MZold") + std::string("\x7F\x7F\x02\x00\x00\x00\x00\x00", 8));
  EntryPlan uninstaller, file;
  uninstaller.options = 2;
  uninstaller.items = {"uninst.exe"};
  AddData(uninstaller, "-record-");
  AddData(file, "text");
  EXPECT_EQ(Install({uninstaller, file}, 0x10, Bytes{'M', 'Z'}), 1);
  EXPECT_EQ(Content("uninst.exe")->substr(0, 5), "MZold");
  EXPECT_EQ(std::string(UninstallerPath), Path("uninst.exe"));
  EXPECT_EQ(Content("file.txt"), "text");
  EXPECT_EQ(Ui.percents, std::vector<int>{100});  // the kept uninstaller shows no progress
}

TEST_F(EntryStep, SharedFontCountedRegisteredAndRemembered) {
  Fake.specialFolders[0x14] = scratch + "/";
  EntryPlan font;
  font.kind = 3;
  font.flags = 0x400 | 0x800;
  font.items = {"demo.ttf"};
  AddData(font, "not really a font");
  Write("demo.ttf", "older font");
  EXPECT_EQ(Install({font}), 1);
  EXPECT_EQ(Status(0), 23);
  EXPECT_EQ(FakeFiles.fontsRemoved, std::vector<std::string>{Path("demo.ttf")});
  EXPECT_EQ(FakeFiles.fontsAdded, std::vector<std::string>{Path("demo.ttf")});
  EXPECT_EQ(FakeFiles.dwords["Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|" + Path("demo.ttf")], 1u);
  EXPECT_EQ(ScreenSaverEntry, ThePackage.firstEntry);
}

}  // namespace
