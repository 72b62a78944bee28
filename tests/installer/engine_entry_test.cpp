// One entry's rules: its destination and temporary name, the version and
// language questions, and the moves left for the restart.
#include "entry_names.h"
#include "fixtures.h"
#include "install/overwrite_rules.h"
#include "platform/restart_ops.h"

namespace {

using EntryTest = InstallerTest;

// Names made beside a file: the temporary one, the first of .$$A to .$$Z not
// taken (named, or created), or a volume's (.Dnn); "" when refused.
TEST_F(EntryTest, NamesBesideAFile) {
  std::vector<std::string> all;
  for (char c = 'A'; c <= 'Z'; ++c) all.push_back(std::string("C:\\App\\data.$$") + c);
  const std::string a = std::string(252, 'a');
  // volume 0: the temporary name
  struct {
    std::string path;
    int volume;
    std::vector<std::string> taken;
    std::string made;
  } cases[] = {
      {"C:\\App\\data.dll", 0, {"C:\\App\\data.$$A", "C:\\App\\data.$$B"}, "C:\\App\\data.$$C"},
      {"C:\\App\\data.dll", 0, {"C:\\App\\data.$$B"}, "C:\\App\\data.$$A"},
      {"C:\\App.2\\readme", 0, {}, "C:\\App.2\\readme.$$A"},
      {"C:\\App\\archive.tar.gz", 0, {}, "C:\\App\\archive.tar.$$A"},
      {"C:\\App\\data.dll", 0, all, ""},
      {"C:\\" + a + "a", 0, {}, ""},
      {"C:\\" + a, 0, {}, "C:\\" + a + ".$$A"},  // 255 + ".$$A" + NUL = 260
      {"C:\\App\\setup.exe", 1, {}, "C:\\App\\setup.D01"},
      {"C:\\App\\setup.exe", 12, {}, "C:\\App\\setup.D12"},
      {"C:\\App\\setup.D01", 2, {}, "C:\\App\\setup.D02"},
      {"C:\\App.2\\setup", 1, {}, "C:\\App.2\\setup.D01"},
      {"C:\\App\\a.b.exe", 3, {}, "C:\\App\\a.b.D03"},
      {"a.exe", 100, {}, ""},
      {a + "aa", 1, {}, a + "aa.D01"},
      {a + "aaa", 1, {}, ""},
  };
  for (auto& c : cases) {
    MemoryFiles.clear();
    for (auto& name : c.taken) MemoryFiles[name] = std::make_shared<MemoryFile>();
    char out[260] = "";
    bool made = c.volume ? MakeVolumePath(c.path.c_str(), c.volume, out) == 1
                         : MakeTemporaryName(c.path.c_str(), out, sizeof out) == 0;
    EXPECT_EQ(made ? std::string(out) : "", c.made) << c.path;
    if (c.volume) continue;
    // Creating the file under the rule takes the same name.
    FileHandle file = INVALID_FILE;
    int created = CreateTemporaryFile(c.path.c_str(), out, sizeof out, &file);
    EXPECT_EQ(created == 0 ? std::string(out) : "", c.made) << c.path;
    if (created == 0) FileClose(file);
    EXPECT_EQ(MemoryFiles.size(), c.taken.size() + (created == 0)) << c.path;
  }
}

TEST(NameEscape, RelativeNamesStayInTheirFolder) {
  for (const auto& c : kEntryNames)  // an empty name names no file, so it leaves nothing
    if (*c.name) EXPECT_EQ(NameLeavesFolder(c.name), !c.parts) << c.name;
}

TEST_F(EntryTest, DestinationPerKind) {
  using namespace wf;
  // expected "" with a fault; present: a file that another program holds.
  struct {
    uint32_t kind;
    std::string item0, item9, expected;
    bool inUse = false;
    std::string present = "", sharedProposal = "C:\\Common\\Shared";
    bool noSpecialFolders = false, sharedOverflow = false;
    uint32_t flags = 0;
  } cases[] = {
      {kDestInstallDir, "sub\\file.txt", "", "C:\\App\\sub\\file.txt"},
      {kDestWindows, "sub\\file.txt", "", "C:\\WINDOWS\\file.txt"},
      {kDestShared, "lib\\x.dll", "", "C:\\Common\\Shared\\x.dll"},
      {kDestShared, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "", ""},
      {kDestShared, "x.dll", "", "C:\\Common\\Shared\\x.dll", true, "C:\\Common\\Shared\\x.dll"},
      {kDestShared, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "C:\\WINDOWS\\system32\\x.dll",
       "C:\\Common\\Shared", false, true},
      {kDestFonts, "fonts\\a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf"},
      {kDestFonts, "a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf", true, "C:\\WINDOWS\\Fonts\\a.ttf"},
      {42, "sub\\f.txt", "", "C:\\App\\f.txt"},  // an unknown kind
      {kDestDesktop, "f.lnk", "", "C:\\Users\\me\\Desktop\\f.lnk"},
      {kDestTemp, "f.tmp", "", "C:\\TEMP\\f.tmp"},
      {kDestCustom, "sub\\f.hlp", "#Windows#\\Help", "C:\\WINDOWS\\Help\\f.hlp"},
      {kDestCustom, "f.hlp", std::string(300, 'h'), ""},
      {kDestMyDocuments, "sub\\file.txt", "", "C:\\Users\\me\\Documents\\sub\\file.txt"},
      {kDestAppData, "Vendor\\cfg.ini", "", "C:\\Users\\me\\AppData\\Vendor\\cfg.ini"},
      {kDestAppData, "cfg.ini", "", "C:\\App\\cfg.ini", false, "", "", true},
      // Beside the package, whatever the kind, and never tested for use.
      {kDestFonts, "readme.txt", "", "D:\\setup\\readme.txt", false, "D:\\setup\\readme.txt", "", false, false,
       kFlagSourceFolder},
      {kDestInstallDir, "..\\evil.dll", "", ""},
      {kDestInstallDir, std::string(600, 'n'), "", ""},
      // A file needs a name; a folder entry names folders only.
      {kDestInstallDir, "", "", ""},
      {kDestInstallDir, "sub\\", "", ""},
      {kDestWindows, "sub\\", "", ""},
      {kDestShared, "a:b", "", ""},
      {kDestInstallDir, "made\\", "", "C:\\App\\made\\", false, "", "", false, false, kFlagFolder},
      // Kind 8 names its folder in full.
      {kDestCustom, "f.txt", "..\\..\\k8out", ""},
      {kDestCustom, "f.txt", "C:\\x\\..\\..\\y", ""},
      {kDestCustom, "f.txt", "C:k8", ""},
      {kDestCustom, "f.txt", "\\\\server\\share\\d", "\\\\server\\share\\d\\f.txt"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.item0 + " of kind " + std::to_string(c.kind));
    Fresh(), SetOwnPath("D:\\setup\\setup.exe");
    std::strcpy(setup.installFolder, "C:\\App\\");
    if (!c.noSpecialFolders)
      Fake.specialFolders = {{0x14, "C:\\WINDOWS\\Fonts"},
                             {0x10, "C:\\Users\\me\\Desktop"},
                             {5, "C:\\Users\\me\\Documents"},
                             {0x1A, "C:\\Users\\me\\AppData"}};
    FakeFiles.sharedFolder = c.sharedProposal, FakeFiles.sharedLookupOverflows = c.sharedOverflow;
    if (!c.present.empty()) MemoryFiles[c.present] = std::make_shared<MemoryFile>(MemoryFile{.locked = true});
    FileEntryFields entry{
        .items = {c.item0, "", "", "", "", "", "", "", "", c.item9}, .kind = c.kind, .flags = c.flags};
    EXPECT_EQ((std::tuple{ResolveEntryDestination(setup, View(entry)), std::string(setup.workPath),
                          setup.run.destinationFault}),
              std::tuple(c.inUse, c.expected, c.expected.empty() ? kResultPackageIncomplete : 0));
  }
  // An entry outside the file table is damaged.
  std::strcpy(setup.workPath, "stale"), setup.run.destinationFault = 0;
  EXPECT_EQ((std::tuple{ResolveDestination(setup, nullptr), setup.run.destinationFault, std::string(setup.workPath)}),
            std::tuple(false, kResultPackageIncomplete, ""));
}

using P = std::pair<std::string, std::string>;

FileVersionFacts Version(uint32_t ms, uint32_t ls) { return {true, ms, ls, false, 0}; }
FileVersionFacts Language(uint32_t language) { return {false, 0, 0, true, language}; }
FileVersionFacts Both(uint32_t ms, uint32_t ls, uint32_t language) { return {true, ms, ls, true, language}; }

TEST_F(EntryTest, VersionRules) {
  const uint32_t V2 = 0x00020000, V2_1 = 0x00020001, V1_9 = 0x00010009, Yes = kAnswerYes, No = kAnswerNo;
  const uint32_t Ver = wf::kFlagVersionCheck, Lang = wf::kFlagLanguageCheck;
  const char* kNewer = "Keep the newer %s?";
  const std::string newer = "Keep the newer C:\\App\\x.dll?", language = "Other language: C:\\App\\x.dll";
  struct {
    const char* what;
    FileVersionFacts existing;
    uint32_t flags, entryMS, entryLS, language;
    const char* newerText;
    std::deque<int> answers;
    int expected;
    std::vector<std::string> asked;
  } cases[] = {
      {"equal is not newer", Version(V2, 0), Ver, V2, 0, 0, kNewer, {}, 1, {}},
      {"newer without text is kept", Version(V2_1, 0), Ver, V2, 0x00050000, 0, "", {}, 0, {}},
      {"older is replaced", Version(V1_9, 7), Ver, V2, 0, 0, kNewer, {}, 1, {}},
      {"low half decides on a tie", Version(V2, 6), Ver, V2, 5, 0, "", {}, 0, {}},
      {"unsigned high half", Version(0x80000000, 0), Ver, 0x7FFFFFFF, 0, 0, "", {}, 0, {}},
      {"no fixed information", {false, 0, 0, false, 0}, Ver, V2, 0, 0, "", {}, 1, {}},
      {"newer ignored without the version flag", Version(V2_1, 0), Lang, V2, 0, 0, "", {}, 1, {}},
      {"same language", Language(0x409), Lang, 0, 0, 0x409, "", {}, 1, {}},
      {"the existing language word", Language(0x10409), Lang, 0, 0, 0x409, "", {}, 1, {}},
      {"against the whole field", Language(0x409), Lang, 0, 0, 0x10409, "", {Yes}, 1, {language}},
      {"both questions", Both(V2_1, 0, 0x409), Ver | Lang, V2, 0, 0x407, kNewer, {Yes, No}, 0, {newer, language}},
      {"refused newer asks no more", Both(V2_1, 0, 0x409), Ver | Lang, V2, 0, 0x407, kNewer, {No}, 0, {newer}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Ui = {.answers = c.answers};
    FileEntryFields entry{.flags = c.flags, .versionMS = c.entryMS, .versionLS = c.entryLS, .language = c.language};
    EXPECT_EQ(
        DecideFileVersion(setup, c.existing, View(entry), c.newerText, "Other language: %s", "C:\\App\\x.dll", AskUser),
        c.expected);
    std::vector<std::pair<std::string, unsigned>> asked;
    for (auto& text : c.asked) asked.emplace_back(text, kMessageYesNoQuestion | kMessageDefaultNo);
    EXPECT_EQ(Ui.messages, asked);
  }
}

TEST(DeletionLine, OnlyThePlaceholderLineOfThatPathBecomesNul) {
  struct {
    const char *text, *path, *expected;
  } cases[] = {
      // the same text when nothing changes
      // The path also appears as the value of a rename: only the deletion changes.
      {"[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A",
       "[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nNUL=C:\\TMP\\A.$$A\r\n"},
      // A longer path that starts with this one is another file.
      {"[Rename]\r\nxyz=C:\\TMP\\AB\r\n", "C:\\TMP\\A", "[Rename]\r\nxyz=C:\\TMP\\AB\r\n"},
      {"[Rename]\r\naxyz=C:\\X\r\n", "C:\\X", "[Rename]\r\naxyz=C:\\X\r\n"},
      {"[Rename]\r\nxyz=C:\\X", "C:\\X", "[Rename]\r\nNUL=C:\\X"},
      {"[rename]\nXYZ=c:\\x\n", "C:\\X", "[rename]\nNUL=c:\\x\n"},
  };
  for (auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(MarkDeletionLine(text.data(), (uint32_t)text.size(), c.path), std::string(c.text) != c.expected)
        << c.text;
    EXPECT_EQ(text, c.expected);
  }
}

TEST_F(EntryTest, MovesAtRestartInTheFamilysPlace) {
  FakeFiles.ntFamily = false, Fake.windowsFolder = Path("win\\");
  FakeFiles.shortNames = {{"C:\\Program Files\\a.dll", "C:\\PROGRA~1\\A.DLL"},
                          {"C:\\Program Files\\a.$$A", "C:\\PROGRA~1\\A.$$A"},
                          {"C:\\Program Files\\old library.dll", "C:\\PROGRA~1\\OLDLIB~1.DLL"}};
  MoveFileAtRestart("C:\\Program Files\\a.dll", "C:\\Program Files\\a.$$A");
  MoveFileAtRestart(nullptr, "C:\\Program Files\\old library.dll");
  MoveFileAtRestart(nullptr, "C:\\B.TMP");
  // Every deletion is written under the one placeholder key, then renamed.
  EXPECT_EQ(ReadAll(Path("win\\WININIT.INI")),
            "[Rename]\r\nC:\\PROGRA~1\\A.DLL=C:\\PROGRA~1\\A.$$A\r\n[Rename]\r\nNUL=C:\\PROGRA~1\\OLDLIB~1.DLL\r\n"
            "[Rename]\r\nNUL=C:\\B.TMP\r\n");
  FakeFiles.ntFamily = true;
  MoveFileAtRestart("C:\\APP\\A.DLL", "C:\\APP\\A.$$A"), MoveFileAtRestart(nullptr, "C:\\APP\\B.$$A");
  EXPECT_EQ(FakeFiles.restartMoves, (std::vector<P>{{"C:\\APP\\A.$$A", "C:\\APP\\A.DLL"}, {"C:\\APP\\B.$$A", ""}}));
}

}  // namespace
