// The run as the wizard drives it: pages, error texts, the destination
// folder, the free space, the start and the finish.
#include <fstream>
#include <sstream>

#include "builder/records.h"
#include "fixtures.h"
#include "format/install_type.h"
#include "format/uninstall_log.h"
#include "install/disk_space.h"
#include "package/installed_product.h"
#include "reader/report.h"
#include "system/upgrade.h"
#include "text/error_text.h"

namespace {

using Driver = InstallerTest;

TEST_F(Driver, ErrorText) {
  struct {
    std::string what, text, argument, expected;
    uint16_t item = msg::kFileDamaged;
  } cases[] = {
      {"%d without a number stays", "Disk %d: %s, 100%", "x", "Disk %d: x, 100%"},
      {"%% is one % when formatting", "%s at 100%%", "x", "x at 100%"},
      {"a long text is cut at 1,023 bytes", "%s" + std::string(2000, 't'), "a", "a" + std::string(1022, 't')},
      {"a long argument is cut at 259 bytes", "[%s]", std::string(300, 'p'), "[" + std::string(259, 'p') + "]"},
      {"beyond the list", "", "", "", 40},  // list 7 holds 32 items
  };
  for (auto& c : cases) {
    messages[msg::kFileDamaged] = c.text;
    Load(FileTable({}));
    SetErrorArgument(setup, c.argument.c_str());
    char buffer[kErrorTextSize + 16];
    std::memset(buffer, '#', sizeof buffer);
    FormatErrorText(setup, buffer, c.item);
    EXPECT_EQ(std::string(buffer), c.expected) << c.what;
    EXPECT_EQ(buffer[kErrorTextSize], '#') << c.what << ": wrote past 1,024 bytes";
  }
}

TEST_F(Driver, CheckDestinationFolderTable) {
  struct {
    const char *what, *folder;
    bool exists, singlePage;
    std::string question;
    int answer, result;
    const char* after;
    bool created;
  } cases[] = {
      {"existing folder", "C:\\Apps\\Demo\\", true, false, "Create?", 0, 0, "C:\\Apps\\Demo\\", false},
      {"drive root keeps its backslash", "C:\\", true, false, "", 0, 0, "C:\\", false},
      {"relative becomes full", "Demo", false, false, "", 0, 0, "C:\\Work\\Demo\\", false},
      {"empty", "", false, false, "", 0, kResultFolderInvalid, "", false},
      {"missing, asked, Yes", "C:\\New\\Sub", false, false, "Create?", kAnswerYes, 0, "C:\\New\\Sub\\", true},
      {"missing, asked, No", "C:\\New\\Sub", false, false, "Create?", kAnswerNo, kFolderDeclined, "C:\\New\\Sub",
       false},
      {"missing, no question", "C:\\New", false, false, "", 0, 0, "C:\\New\\", true},
      {"single page creates nothing", "C:\\New", false, true, "", 0, 0, "C:\\New\\", false},
      {"cannot be created", "\\\\server\\share", false, false, "", 0, kResultFolderInvalid, "\\\\server\\share", false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh(), messages[msg::kCreateFolder] = c.question;
    Load(FileTable({}));
    setup.singlePageMode = c.singlePage, Ui.defaultAnswer = c.answer;
    if (c.exists) Fake.AddFolder(c.folder);
    Fake.AddFolder("C:\\Work\\Demo"), Disk.fullPaths["Demo"] = "C:\\Work\\Demo",
                                      std::strcpy(setup.installFolder, c.folder);
    int result = CheckDestinationFolder(setup);
    EXPECT_EQ(std::tuple(result, std::string(setup.installFolder), Ui.messages.size(), !Fake.created.empty()),
              std::tuple(c.result, c.after, c.question.empty() || c.exists ? 0u : 1u, c.created));
  }
}

// A run that cannot start stops there; the completion step goes to the
// first finish page of the sequence (the page before it, then Next) unless
// the run was single-page or cancelled. The run starts on page 9.
TEST_F(Driver, StartAndFinish) {
  struct {
    const char* what;
    bool checked, vanish, singlePage, cancelled;
    int result, index, page;
    Bytes sequence = {0, 1, 3, 4, 5, 6, 10, 0xFF};
  } cases[] = {
      {"a full disk", false, false, false, false, kResultNoSpace, 9, 0},
      {"the package vanished", true, true, false, false, kResultPackageUnreadable, 9, 0},
      {"finished", true, false, false, false, 0, 4, kPageResultNext},
      {"the first finish page", true, false, false, false, 0, 0, kPageResultNext, {5, 6, 6, 0xFF}},
      {"none before the end mark", true, false, false, false, 0, 9, 0, {0, 1, 0xFF, 6}},
      {"no end mark: 12 bytes only", true, false, false, false, 0, 9, 0, {0, 1, 2, 3, 4, 5, 10, 10, 10, 10, 10, 10}},
      {"single-page", true, false, true, false, 0, 9, 0},
      {"cancelled", true, false, false, true, 0, 9, kPageResultCancel},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    Load(FileTable({}), Bytes(10, 1), {.sequence = c.sequence});
    setup.run.destinationChecked = c.checked, Disk.freeBytes = 0;
    std::strcpy(setup.installFolder, "C:\\Full"), Fake.AddFolder("C:\\Full");
    if (c.vanish) MemoryFiles.erase(setup.ownPath);
    setup.singlePageMode = c.singlePage, setup.userCancelled = c.cancelled, setup.pageIndex = 9;
    setup.pageResult = c.cancelled ? kPageResultCancel : 0, RunInstallationHeadless(setup);
    EXPECT_EQ(std::tuple(setup.resultCode, setup.run.finished, setup.run.running, setup.dataArea.volume,
                         setup.pageIndex, setup.pageResult),
              std::tuple(c.result, c.result == 0, false, INVALID_FILE, c.index, c.page));
    if (c.vanish) EXPECT_STREQ(setup.errorArgument, setup.packagePath);
  }
}

constexpr uint64_t kTb = 1ull << 40;

// The free space in kB as the disk reports it, then whether it is short of what the files need.
TEST(SpaceArithmetic, ShortOfRoom) {
  // Bytes, then kB: 4 TB - 1 would read as "unknown" uncapped.
  const uint64_t bytes[][2] = {
      {1023, 0}, {4 * kTb - 3072, 0xFFFFFFFDu}, {100 * kTb, kFreeSpaceHuge}, {4 * kTb - 1, kFreeSpaceHuge}};
  for (auto& c : bytes) EXPECT_EQ(FreeKbFromBytes(c[0]), c[1]) << c[0];
  // Cluster bytes, clusters, kB: at 1 TB 32-bit products wrap.
  const uint32_t clusters[][3] = {{4096, 100, 400}, {65536, 0xFFFFFFFFu, kFreeSpaceHuge}, {65536, 1u << 24, 1u << 30}};
  for (auto& c : clusters) EXPECT_EQ(FreeKbFromClusters(c[0], c[1]), c[2]) << c[0];
  struct {
    const char* what;
    uint64_t total, largest;
    uint32_t freeKb;
    bool isShort;
  } cases[] = {
      {"three 1-byte files on 4 KB clusters need 12 + 4 KB", 12288, 4096, 17, false},
      {"exactly equal free space is not enough", 12288, 4096, 16, true},
      {"largest is rounded to clusters", 8192, 1, 12, true},
      {"unknown never blocks", 1ull << 50, 1, kFreeSpaceUnknown, false},
      {"4 TB or more never blocks", 5 * kTb, 1, kFreeSpaceHuge, false},
      {"a full disk with nothing to install", 0, 0, 0, true},
  };
  for (auto& c : cases) EXPECT_EQ(SpaceIsShort(c.total, c.largest, 4096, c.freeKb), c.isShort) << c.what;
  // What an existing file's clusters take off an entry's need: size, whether it exists, its size, the need.
  const uint64_t entries[][4] = {{1, false, 0, 4096},
                                 {10000, true, 5000, 4096},
                                 {5000, true, 10000, 0},
                                 {4000, true, 4096, 0},
                                 {0xFFFFFFFFu, false, 0, 0x100000000ull}};
  for (auto& c : entries) EXPECT_EQ(EntrySpaceNeed(uint32_t(c[0]), c[1], uint32_t(c[2]), 4096), c[3]) << c[0];
}

using FreeSpace = InstallerTest;

TEST_F(FreeSpace, QueriesTheRightRoot) {
  const std::string longShare = "\\\\s\\" + std::string(255, 'a');  // 259 bytes still get a backslash on a share
  // Queries "" none; cluster 0: not wanted, so the geometry is not asked once the newer call answers.
  struct {
    std::string path;
    bool ex, geometry;
    std::string exQuery, geometryQuery;
    uint32_t kb, cluster;
  } cases[] = {
      {"C:\\Apps\\Demo\\", true, true, "C:\\", "C:\\", 1u << 20, 4},
      {"\\\\server\\share\\dir", true, true, "\\\\server\\share\\dir\\", "\\\\server\\share\\dir\\", 1u << 20, 4},
      {"D:", true, true, "D:", "D:\\", 1u << 20, 4},
      {"C:\\Apps", false, true, "C:\\", "C:\\", 1u << 20, 4},
      // The newer call's figure stands when the geometry fails.
      {"C:\\x", true, false, "C:\\", "C:\\", 1u << 20, 1},
      {"C:\\x", false, false, "C:\\", "C:\\", kFreeSpaceUnknown, 1},
      {"", true, true, "", "", kFreeSpaceUnknown, 1},
      {longShare, true, true, longShare + "\\", "", 1u << 20, 0},
  };
  for (auto& c : cases) {
    Disk = {.hasFreeBytes = c.ex, .hasGeometry = c.geometry};
    uint32_t cluster = 7, kb = GetFreeDiskSpace(c.path.c_str(), c.cluster ? &cluster : nullptr);
    auto q = [](const std::string& s) { return s.empty() ? std::vector<std::string>{} : std::vector{s}; };
    EXPECT_EQ(std::tuple(kb, c.cluster ? cluster : 0, Disk.freeBytesQueries, Disk.geometryQueries),
              std::tuple(c.kb, c.cluster, q(c.exQuery), q(c.geometryQuery)))
        << c.path;
  }
}

TEST_F(FreeSpace, PageFiguresCountEveryEntry) {
  Load(FileTable({{{"a.txt"}, 4, 0, 0, 1},
                  {{"b.txt"}, 4, 0, 0, 1},
                  {{"c.txt"}, 4, 0, 0, 1},
                  {{"sub\\"}, 0, wf::kFlagFolder},
                  {{"x"}, 0, wf::kFlagSourceFolder, 0, 9999999}}),
       {}, {.options = wf::kOptCountFilesInFull});
  Disk.hasFreeBytes = false, Disk.freeClusters = 1025;  // 4 MB and 4 KB of 4 KB clusters
  DiskSpaceFigures f = MeasureDiskSpace(setup), unknown = DiskSpaceFiguresFrom(kFreeSpaceUnknown, 1048577);
  // Rounded up; 3 x 4 KB plus the source-folder entry's 9,999,999 bytes in clusters.
  EXPECT_EQ(std::pair(f.freeMb, f.requiredMb), std::pair(5u, 10u));
  EXPECT_EQ(std::pair(unknown.freeMb, unknown.requiredMb), std::pair(0u, 2u));
  EXPECT_EQ(DiskSpaceFiguresFrom(kFreeSpaceHuge, 0).freeMb, 4194304u);
}

// The completion step over a real uninstaller, read back by the inspector;
// the values it writes are the Wine scenario's.
// An upgrade finds the installed version by the identity, goes to its
// folder, keeps its record (the one beside a signed uninstaller first) and
// hands it to the new uninstaller once the new record stands.
TEST_F(InstallerTest, UpgradeTable) {
  const std::tuple<const char*, const char*, int> order[] = {
      {"2.0", "1.9", 1},          {"1.10", "1.9", 1}, {"1.0", "1.0.0", 0},     {"1.0-beta", "1.0", -1},
      {"1.0-beta", "1.0-RC", -1}, {"", "0.1", -1},    {"99999999999", "7", 1}, {"2.0.1", "2.0", 1}};
  for (auto [a, b, sign] : order) {
    EXPECT_EQ((CompareVersions(a, b) > 0) - (CompareVersions(a, b) < 0), sign) << a << " " << b;
    EXPECT_EQ((CompareVersions(b, a) > 0) - (CompareVersions(b, a) < 0), -sign) << b << " " << a;
  }
  const std::string key = std::string("257|") + wf::kUninstallKeyPrefix + "Wren|";
  // The id; the installed version (null: none); whether its record lies in
  // uninstall.dat; what is found and what copied aside.
  const std::tuple<const char*, const char*, bool, int, const char*> cases[] = {
      {nullptr, "1.0", false, kNotInstalled, ""},
      {"Wren", nullptr, false, kNotInstalled, ""},
      {"Wren", "1.5", false, kInstalledOlder, "uninstall.exe"},
      {"Wren", "2.0", true, kInstalledSame, "uninstall.dat"},
      {"Wren", "2.1", false, kInstalledNewer, "uninstall.exe"}};
  for (auto& [id, installed, beside, state, kept] : cases) {
    SCOPED_TRACE(installed ? installed : "none");
    Fresh();
    Load(FileTable({{{"a.txt"}}}), {}, {}, {}, {}, wrenly::builder::BuildProductDetails({.version = "2.0"}));
    setup.package.productId = id, setup.package.scope = wf::kScopeUser, setup.wideView = true;
    for (auto [name, value] : {std::pair{wf::kUninstallCommand, "\"C:\\Old\\uninstall.exe\" /S"},
                               {wf::kUninstallVersion, installed},
                               {wf::kUninstallLocation, "C:\\Old"}})
      if (installed) Fake.registry[key + name] = value;
    MemoryFiles["C:\\Old\\uninstall.exe"] = std::make_shared<MemoryFile>(MemoryFile{{'e'}});
    if (beside) MemoryFiles["C:\\Old\\uninstall.dat"] = std::make_shared<MemoryFile>(MemoryFile{{'d'}});
    FindInstalledProduct(setup);
    EXPECT_EQ(setup.installed.state, state);
    EXPECT_STREQ(setup.installFolder, state ? "C:\\Old" : "C:\\Program Files\\Demo") << "the folder proposed";
    KeepPreviousRecord(setup);
    const std::string copy = setup.installed.recordCopy;
    EXPECT_EQ(copy.empty() ? "" : ReadAll(copy), *kept ? ReadAll(std::string("C:\\Old\\") + kept) : "");
    std::strcpy(setup.uninstallerPath, "C:\\New\\uninstall.exe");
    RemovePreviousVersion(setup);
    const std::vector<std::string> prune = {"\"C:\\New\\uninstall.exe\" /Q /P\"" + copy + "\" /F\"C:\\Old\""};
    EXPECT_EQ(Processes.processes, *kept ? prune : std::vector<std::string>{});
    EXPECT_EQ(MemoryFiles.count(copy), 0u) << "the copy goes";
  }
}

TEST_F(InstallerTest, CompletionTable) {
  using namespace wf;
  const std::string app = "C:\\Program Files\\App\\";
  Bytes uninstaller = ToBytes("prog"), data = wrenly::builder::BuildUninstallerData({});
  uninstaller.insert(uninstaller.end(), data.begin(), data.end());
  const std::string script(250, 's');  // the command outgrows 260 bytes, never cut into another
  Bytes section;
  wrenly::builder::AddRegistryKeySection(section, 2, "Software\\Demo");
  const std::vector<std::string> all = {"start regedit -s \"" + app + "Setup.REG\"", "register " + app + "srv.dll",
                                        "start regedit -s \"" + app + script + ".reg\""};
  // A 64-bit product's tools are the system's 64-bit ones.
  const std::string regedit64 = "start \"C:\\WINDOWS\\regedit.exe\" -s \"" + app;
  const std::vector<std::string> all64 = {regedit64 + "Setup.REG\"", "register 64 " + app + "srv.dll",
                                          regedit64 + script + ".reg\""};
  struct {
    const char* what;
    int result;
    bool singlePage;
    Bytes file;
    std::string product;
    std::vector<std::string> calls;
    size_t values;
    bool recorded;
    uint8_t scope = kScopeMachine;
    bool wide = false;
    const char* id = nullptr;
    const char* key = "2|";  // the uninstall key's hive and view
    bool beside = false;     // a signed uninstaller: its data and record in uninstall.dat
  } cases[] = {
      {"complete", 0, false, uninstaller, "Demo", all, 11, true},
      {"a failed run writes nothing", kResultPackageIncomplete, false, uninstaller, "Demo", {}, 0, false},
      {"single page: the record only", 0, true, uninstaller, "Demo", {}, 9, true},
      {"no product name, no uninstall entry", 0, false, uninstaller, "", all, 2, true},
      {"no end header: no record, no entry", 0, false, ToBytes("program end"), "Demo", all, 2, false},
      {"64-bit, per user, known by its id", 0, false, uninstaller, "Demo", all64, 11, true, kScopeUser, true, "WrenId",
       "257|"},
      {"signed: the record beside it", 0, false, ToBytes("MZ signed"), "Demo", all, 11, true, kScopeMachine, false,
       nullptr, "2|", true},
  };
  const Bytes details = wrenly::builder::BuildProductDetails({.version = "2.5", .publisher = "Wren Works"});  // no URL
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    FakeFiles.sharedFolder = "C:\\Common", Fake.specialFolders[0x10] = "C:\\Desktop";
    Load(FileTable({{{"a.txt", "", "", "", "", "A.lnk"}},
                    {{"x.dll"}, kDestShared, kFlagShared | kFlagKeepExistingInSpace},
                    {{"in.dll"}, 0, kFlagShared},
                    {{"sub\\made\\"}, 0, kFlagFolder},
                    {{"x.txt", "", "", "", "", "", "", "", "", "c:\\PROGRAM files\\App\\Extra"}, kDestCustom},
                    {{"Setup.REG"}, 0, kFlagSelfRegister},
                    {{"srv.dll"}, 0, kFlagSelfRegister},
                    {{"kept.dll"}, 0, kFlagSelfRegister},
                    {{"late.dll"}, 0, kFlagSelfRegister},
                    {{script + ".reg"}, 0, kFlagSelfRegister}}),
         {}, {.options = kOptRegisterUninstall | kOptFolderInRegistry, .productName = c.product, .folderKey = "Demo"},
         {}, section, details);
    setup.resultCode = c.result, setup.singlePageMode = c.singlePage;
    setup.package.scope = c.scope, setup.wideView = c.wide, setup.package.productId = c.id;
    setup.package.identityFlags = c.beside ? kIdentityRecordBeside : 0;
    const size_t before = c.beside ? Write("uninstall.dat", data).bytes.size() : c.file.size();
    const std::string recordFile = Path(c.beside ? "uninstall.dat" : "uninstall.exe");
    // The entries' outcomes set after loading: as package options, kOutcomeReplaced would mark the uninstaller.
    Finish(app.c_str(), c.file,
           {kOutcomeCreated, kOutcomeKept, kOutcomeAtRestart, kOutcomeNone, kOutcomeCreated, kOutcomeCreated,
            kOutcomeReplaced, kOutcomeKept, kOutcomeAtRestart, kOutcomeCreated});
    EXPECT_EQ(std::tuple(FakeFiles.calls, Fake.registry.size(), ReadAll(recordFile).size() > before),
              std::tuple(c.calls, c.values, c.recorded));
    if (c.beside) EXPECT_EQ(ReadAll(Path("uninstall.exe")), "MZ signed") << "the signed program as it was";
    const std::string key = c.key + std::string(kUninstallKeyPrefix) + (c.id ? c.id : "Demo") + "|";
    EXPECT_EQ(Fake.registry.count(key + kUninstallDisplayName), c.recorded && !c.product.empty());
    if (&c != cases) continue;
    const std::string exe = Path("uninstall.exe");
    // The commands quoted: the list of installed programs runs them as command lines.
    for (auto [value, data] : {std::pair{kUninstallCommand, "\"" + exe + "\""},
                               {kUninstallQuietCommand, "\"" + exe + "\" /S"},
                               {kUninstallLocation, "C:\\Program Files\\App"},
                               {kUninstallIcon, exe},
                               {kUninstallNoModify, "dword 1"},
                               {kUninstallNoRepair, "dword 1"},
                               {kUninstallVersion, "2.5"},
                               {kUninstallPublisher, "Wren Works"}})
      EXPECT_EQ(Fake.registry[key + value], data) << value;
    std::filesystem::path file = EmptyScratch() / "uninstall.exe";  // the inspector reads real files
    std::ofstream(file, std::ios::binary) << ReadAll(Path("uninstall.exe"));
    std::stringstream view;
    wrenly::inspector::PrintUninstaller(file, view);
    std::vector<std::string> lines;  // the steps of the plan
    for (std::string line; std::getline(view, line);)
      if (line.rfind("  ", 0) == 0) lines.push_back(line.substr(2));
    const std::string here = "\"<installation folder>\\", far = "\".\\" + script + ".reg\" refused: too long";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "unregister " + here + "Setup.REG\"", "unregister " + here + "srv.dll\"",
                         "unregister " + here + "kept.dll\"", "unregister " + here + "late.dll\"", "unregister " + far,
                         "file " + here + "a.txt\"", R"(file "C:\Desktop\A.lnk")", R"(shared file "C:\Common\x.dll")",
                         "file " + here + "in.dll\"", "file " + here + "Extra\\x.txt\"", "file " + here + "Setup.REG\"",
                         "file " + here + "srv.dll\"", "file " + here + "kept.dll\"", "file " + here + "late.dll\"",
                         "file " + far, "folder " + here + "sub\\made\"",
                         R"(registry key "HKEY_LOCAL_MACHINE\Software\Demo")"}));
  }
}

}  // namespace
