// The per-entry step over real files: a package with the given entries is
// loaded, the run started, and InstallNextEntry called until it stops; and
// the fonts among the entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/destination.h"
#include "install/fonts.h"
#include "package/package_model.h"

namespace {

namespace fs = std::filesystem;

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
  // Runs the entries into the scratch folder; returns how many calls returned 1.
  int Install(const std::vector<EntryPlan>& plans, uint16_t typeOptions = 0, const Bytes& uninstaller = {}) {
    Load(PlanTable(plans), area, {}, uninstaller);
    wf::StoreU16(const_cast<uint8_t*>(ThePackage.currentType->record), typeOptions);
    std::strncpy(InstallFolder, (scratch + "/").c_str(), kPathSize - 1);
    ::Run.destinationChecked = true;
    EXPECT_EQ(StartInstallation(), 1);
    int handled = 0;
    while (InstallNextEntry()) ++handled;
    return handled;
  }
  uint16_t Status() const { return wf::LoadU16(ThePackage.firstEntry + 4); }
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
    bool wrongChecksum = false, acceptSwitch = false, volumeMissing = false;
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
      {.name = "read-only option", .options = 4, .status = 25, .after = "new content", .readOnly = true},
      {.name = "bad method replaces nothing", .existing = "old", .method = 3, .result = 31, .after = "old"},
      // The reader's own code stands, not the damaged entry's.
      {.name = "missing volume", .existing = "old", .volumeMissing = true, .result = 18, .after = "old"},
      {.name = "damaged accepted by /R", .wrongChecksum = true, .acceptSwitch = true, .answers = {7}, .status = 25,
       .after = "new content"},
      {.name = "damaged accepted by the answer", .wrongChecksum = true, .answers = {6}, .status = 25,
       .after = "new content"},
      {.name = "damaged refused", .existing = "old", .wrongChecksum = true, .answers = {7}, .result = 21,
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
    if (c.volumeMissing) area.resize(area.size() / 2);  // the rest would be in setup.D01

    EXPECT_EQ(Install({plan}), c.result || c.cancel ? 0 : 1);
    EXPECT_EQ(ResultCode, c.result);
    EXPECT_EQ(Status(), c.status);
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

TEST_F(EntryStep, UninstallerIsTheImageFollowedByItsData) {
  // An existing uninstaller ending in an end header with the complete flag.
  const std::string complete = std::string("MZold") + std::string("\x7F\x7F\x02\x00\x00\x00\x00\x00", 8);
  struct {
    const char* what;
    std::string existing;
    uint16_t typeOptions;
    std::string after;
    std::vector<int> percents;  // a kept uninstaller shows no progress
  } cases[] = {
      {"written", "", 0, "MZ-record-", {50, 100}},
      {"a complete one stays when the type appends", complete, 0x10, complete, {100}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    area.clear();
    if (!c.existing.empty()) Write("uninst.exe", c.existing);
    EntryPlan uninstaller, file;
    uninstaller.options = 2;
    uninstaller.items = {"uninst.exe"};
    AddData(uninstaller, "-record-");
    AddData(file, "text");
    Install({uninstaller, file}, c.typeOptions, Bytes{'M', 'Z'});
    EXPECT_EQ(ResultCode, 0);
    EXPECT_EQ(Content("uninst.exe"), c.after);
    EXPECT_EQ(Status(), 0);
    EXPECT_EQ(std::string(UninstallerPath), Path("uninst.exe"));
    EXPECT_EQ(Content("file.txt"), "text");
    EXPECT_EQ(Ui.percents, c.percents);
  }
}

struct NameRecord {
  uint16_t platform, nameId;
  std::string text;
  uint16_t offsetShift = 0;  // moves the record's string offset past its text
};

void Big16(std::string& s, uint32_t v) {
  s += (char)(v >> 8);
  s += (char)v;
}

// A TrueType file of `tables` table records; record `nameAt` (0-based, -1
// for none) is the name table, which follows the records. Fields go in as
// big-endian 16-bit halves.
std::string Font(uint16_t tables, int nameAt, const std::vector<NameRecord>& names) {
  std::string f, storage;
  for (uint32_t v : {1u, 0u, uint32_t{tables}, 0u, 0u, 0u}) Big16(f, v);
  for (int i = 0; i < tables; ++i) {
    f += i == nameAt ? "name" : "glyf";
    for (uint32_t v : {0u, 0u, 0u, i == nameAt ? 12 + 16u * tables : 0u, 0u, 0u}) Big16(f, v);
  }
  uint32_t count = (uint32_t)names.size();
  for (uint32_t v : {0u, count, 6 + 12 * count}) Big16(f, v);
  for (const NameRecord& n : names) {
    for (uint32_t v : {uint32_t{n.platform}, 0u, 0u, uint32_t{n.nameId}, (uint32_t)n.text.size(),
                       (uint32_t)(storage.size() + n.offsetShift)})
      Big16(f, v);
    storage += n.text;
  }
  return f + storage;
}

std::string Utf16(const std::string& s) {
  std::string out;
  for (char c : s) Big16(out, (uint8_t)c);
  return out;
}

TEST_F(EntryTest, FullNameFromTheMacintoshRecord) {
  struct {
    const char* what;
    std::string file;  // "" for no file
    std::string expected;
  } cases[] = {
      {"mac full name", Font(3, 1, {{3, 4, Utf16("Demo Sans")}, {1, 4, "Demo Sans"}}), "Demo Sans"},
      {"windows records only", Font(2, 0, {{3, 1, Utf16("Demo")}, {3, 4, Utf16("Demo Sans")}}), ""},
      {"mac family only", Font(1, 0, {{1, 1, "Demo"}}), ""},
      {"last match wins", Font(1, 0, {{1, 4, "First"}, {1, 4, "Second"}}), "Second"},
      {"name is the 40th table", Font(40, 39, {{1, 4, "Forty"}}), "Forty"},
      {"name is the 41st table", Font(41, 40, {{1, 4, "Forty-one"}}), ""},
      {"overlong name is cut", Font(1, 0, {{1, 4, std::string(700, 'N')}}), std::string(519, 'N')},
      {"string beyond the file", Font(1, 0, {{1, 4, "Gone", 100}}), ""},
      {"not a font", "plain text, nothing more", ""},
      {"no file", "", ""},
  };
  for (auto& c : cases) {
    fs::remove(Path("font.ttf"));
    if (!c.file.empty()) Write("font.ttf", c.file);
    char name[kFontNameSize];
    std::memset(name, 'x', sizeof name);
    ReadFontName(Path("font.ttf").c_str(), name);
    EXPECT_EQ(std::string(name), c.expected) << c.what;
  }
}

// A shared font over an older one: the old name's value goes, the new one
// names the file, the count grows and the entry is remembered.
TEST_F(EntryStep, FontValueNamedByTheFullNameHoldsTheFileName) {
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|";
  struct {
    bool nt;
    std::string font;
    std::string value;  // "" for none
  } cases[] = {
      {true, Font(1, 0, {{1, 4, "Demo Sans"}}), nt + "Demo Sans (TrueType)"},
      {false, Font(1, 0, {{1, 4, "Demo Sans"}}), "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts|Demo Sans (TrueType)"},
      {true, Font(1, 0, {{3, 4, Utf16("Demo Sans")}}), ""},
      {true, Font(1, 0, {{1, 4, std::string(600, 'L')}}), nt + std::string(508, 'L') + " (TrueType)"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.value);
    Fresh();
    area.clear();
    FakeFiles.ntFamily = c.nt;
    Fake.specialFolders[0x14] = Path("Fonts\\");  // the file's name follows a backslash
    std::string old = Font(1, 0, {{1, 4, "Old Sans"}});
    Write("Fonts\\demo.ttf", old);
    FakeFiles.strings[(c.nt ? nt : "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts|") + "Old Sans (TrueType)"] =
        "demo.ttf";
    const std::string count = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|" + Path("Fonts\\demo.ttf");
    FakeFiles.dwords[count] = 41;
    EntryPlan font;
    font.kind = 3;
    font.flags = 0x400 | 0x800;
    font.items = {"demo.ttf"};
    AddData(font, c.font);
    EXPECT_EQ(Install({font}), 1);
    EXPECT_EQ(Status(), 23);
    EXPECT_EQ(Content("Fonts\\demo.ttf"), c.font);
    EXPECT_EQ(FakeFiles.fontsRemoved, std::vector<std::string>{Path("Fonts\\demo.ttf")});
    EXPECT_EQ(FakeFiles.fontsAdded, std::vector<std::string>{Path("Fonts\\demo.ttf")});
    EXPECT_EQ(FakeFiles.fontBroadcasts, 2);
    std::map<std::string, std::string> expected;
    if (!c.value.empty()) expected[c.value] = "demo.ttf";
    EXPECT_EQ(FakeFiles.strings, expected);
    EXPECT_EQ(FakeFiles.dwords[count], 42u);
    EXPECT_EQ(ScreenSaverEntry, ThePackage.firstEntry);
  }
}

}  // namespace
