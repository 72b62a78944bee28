#include <gtest/gtest.h>

#include "builder/project_loader.h"
#include "builder/warnings.h"
#include "format/container.h"
#include "test_project.h"

namespace wrenly::builder {
namespace {
using test::kProduct;
using test::Stub;

std::string Repeat(const std::string& s, int n) { return n ? s + Repeat(s, n - 1) : ""; }
std::string Types(int n) { return kProduct + Repeat("[[install_type]]\nname = \"T\"\n", n); }
std::string Pages(int n) { return kProduct + "pages = [" + Repeat("\"welcome\", ", n) + "]\n"; }
std::string File(const std::string& keys) { return kProduct + "[[files]]\nsource = \"a.txt\"\n" + keys; }
std::string User(const std::string& keys) { return kProduct + "scope = \"user\"\n" + keys; }
std::string UserFile(const std::string& keys) { return User("[[files]]\nsource = \"a.txt\"\n" + keys); }
std::string Title(const std::string& style) { return kProduct + "[background]\ntitle_style = { " + style + " }\n"; }

struct Case {
  const char* name;
  std::string toml;
  const char* error;          // nullptr: the project builds and the signature follows the stub
  int line = 0;               // of the error in the project file; 0: the error names no project line
  std::string stub = Stub();  // empty: there is no stub
  bool uninstaller = true;    // false: the build finds no uninstaller program
};

// Limits at their edges, and the errors authors meet most.
const Case kCases[] = {
    {"UnknownProductKey", kProduct + "colour = 3\n", "unknown key \"colour\" in [product]", 3},
    {"MissingProduct", "[setup]\n", "[product] table is missing", 1},
    {"SyntaxError", "[product]\nname = \"P\n", "", 2},
    {"MissingSource", kProduct + "\n[[files]]\nsource = \"nothere.txt\"\n",
     "source file \"nothere.txt\" does not exist", 5},
    {"DeviceSource", kProduct + "[[files]]\nsource = \"/dev/zero\"\n", "source \"/dev/zero\" is not a regular file", 4},
    {"DeviceLicense", kProduct + "license = \"/dev/zero\"\n", "\"/dev/zero\" is not a regular file", 3},
    {"LicenseIsAFolder", kProduct + "license = \"sub\"\n", "sub\" is a folder", 3},
    {"PictureIsAFolder", kProduct + "[theme]\nside_bitmap = \"sub\"\n", "sub\" is a folder", 4},
    {"ProjectIsLatin1", "[product]\nname = \"Caf\xE9\"\n", "must be UTF-8, and it looks like Latin-1 or Windows-1252",
     2},
    {"ProjectIsUtf16", std::string("\xFF\xFE[\0p\0]\0", 8), "must be UTF-8, and it looks like UTF-16 LE", 1},
    {"ProjectIsUtf16BigEndian", std::string("\0[\0p\0]\0\n", 8), "must be UTF-8, and it looks like UTF-16 BE", 1},
    {"GlobMatchesNothing", kProduct + "[[files]]\nsource = \"*.none\"\n", "no file matches", 4},
    {"RenameSeveral", kProduct + "[[files]]\nsource = \"*.txt\"\nname = \"x.txt\"\n", "renames one file", 5},
    {"RenameFolder", kProduct + "[[files]]\nsource = \"sub\"\nname = \"x.txt\"\n", "the source \"sub\" is a folder", 5},
    {"UnknownDestination", File("destination = \"moon\"\n"),
     "\"moon\" is not a destination; the destinations are: install,", 5},
    {"VersionCheckWithoutResource", File("version_check = true\n"), "has no version resource", 5},
    {"BadPlaceholder", kProduct + "[texts]\n\"4/3\" = \"Folder %d\"\n", "text 4/3 has %d", 4},
    {"UnknownPage", kProduct + "pages = [\"welcome\", \"intro\"]\n",
     "\"intro\" is not a page kind; the page kinds are: welcome,", 3},
    {"NotAPicture", kProduct + "[[background.bitmap]]\nfile = \"a.txt\"\n", "not a usable PNG or BMP picture", 4},
    {"NoInstallTypes", "install_type = []\n" + kProduct, "1 to 16 install types", 1},
    {"SeventeenTypes", Types(17), "17 install types", 35},
    {"ElevenPages", Pages(11), "11 pages; at most 10", 3},
    {"InitialTypeMissing", kProduct + "[setup]\ninitial_type = 2\n", "initial_type 2 names no install type", 4},
    {"SetupLevelZero", kProduct + "[setup]\nlevel = 0\n", "\"level\" must lie between 1 and 9", 4},
    {"FileLevel10", File("level = 10\n"), "\"level\" must lie between 1 and 9", 5},
    {"FontName32", Title("font = \"" + std::string(32, 'F') + "\""), "at most 31 characters", 4},
    {"TitleSize401", Title("size = 401"), "\"size\" must lie between 4 and 400", 4},
    {"LowerEnds",
     Types(16) +
         "[setup]\ninitial_type = 16\nlevel = 1\n[[files]]\nsource = \"a.txt\"\nlevel = 9\n"
         "[background]\ntitle_style = { size = 4, font = \"" +
         std::string(31, 'F') + "\" }\n",
     nullptr},
    {"UpperEnds",
     Pages(10) + "[setup]\nlevel = 9\n[[files]]\nsource = \"a.txt\"\nlevel = 1\n"
                 "[background]\ntitle_style = { size = 400 }\n",
     nullptr},
    {"UnknownArchitecture", kProduct + "architecture = \"arm64\"\n",
     "\"arm64\" is not an architecture; the architectures are: x86, x64", 3},
    {"IdWithBackslash", kProduct + "id = \"Acme\\\\P\"\n", "id holds a backslash", 3},
    {"Id201", kProduct + "id = \"" + std::string(201, 'i') + "\"\n", "id is 201 bytes long; at most 200", 3},
    {"UserToSystem", UserFile("destination = \"system\"\n"), "per-user product cannot install to the system folder", 6},
    {"UserShared", UserFile("shared = true\n"), "cannot count shared files", 6},
    {"UserAllUsersDesktop", UserFile("desktop = { name = \"P\", all_users = true }\n"), "leave out all_users", 6},
    {"UserBelowWindows", UserFile("destination = \"#windows#\\\\Help\"\n"), "cannot install below #windows#", 6},
    {"UserFolderInSystem", User("folder = \"#System#\\\\P\"\n"), "cannot install below #System#", 4},
    {"UserFolderInHklm", User("folder_registry = { root = \"HKLM\", key = \"Software\\\\P\" }\n"),
     "writes only below HKEY_CURRENT_USER (use HKCU\\Software\\Classes", 4},
    {"UserStubWithoutManifest", User(""), "the Installer stub has no application manifest"},
    {"UserUninstallerWithoutManifest", User("register_uninstall = true\n"),
     "the uninstaller program has no application manifest", 0, test::ProgramAsking("requireAdministrator")},
    {"VolumeBelowTheSetupProgram", File("[setup]\nvolume_size = 2000\n"), "volume_size 2000 is too small"},
    {"NoStub", kProduct, "stub.exe: cannot read the Installer stub", 0, ""},
    {"StubTooLarge", kProduct, "stub is too large", 0, Stub(199995)},
    {"LargestStub", kProduct, nullptr, 0, Stub(199994)},
    {"ShortStubPadded", kProduct, nullptr, 0, Stub(0)},
    {"StubNotAProgram", kProduct, "stub is not a Windows program", 0, "MZ tiny"},
    {"StubPeHeaderPastTheEnd", kProduct, "stub is not a Windows program", 0, Stub(3000).replace(0x3C, 2, "\xB0\x0B")},
    {"StubForArm", kProduct, "for machine 0x01C4, not for x86", 0, Stub(3000, 0x1C4)},
    {"ConsoleStub", kProduct, "not a Windows GUI program", 0, Stub(3000, 0x14C, 3)},
    {"Amd64Stub", kProduct, nullptr, 0, Stub(3000, 0x8664)},
    {"RegisteringTakesAnUninstaller", kProduct + "register_uninstall = true\n", "cannot read the uninstaller program",
     0, Stub(), false},
    {"UninstallerTextsAsList", kProduct + "[uninstaller]\ntexts = [\"Bye\"]\n", "\"texts\" must be a table", 4},
    {"UnknownUninstallerText", kProduct + "[uninstaller]\ntexts = { bye = \"x\" }\n", "unknown uninstaller text", 4},
    {"UninstallerAboveTheFolder", kProduct + "[uninstaller]\nfile = \"bin/../../u.exe\"\n", "must be a path below", 4},
    {"UninstallerOnADrive", kProduct + "[uninstaller]\nfile = \"C:u.exe\"\n", "must be a path below", 4},
    {"VersionWithWords", kProduct + "version = \"1.2.x\"\n", "one to four numbers", 3},
    {"VersionOfFive", kProduct + "version = \"1.2.3.4.5\"\n", "one to four numbers", 3},
    {"VersionEmptyPart", kProduct + "version = \"1..2\"\n", "one to four numbers", 3},
    {"FileVersionOver65535", File("version_check = true\nversion = \"1.65536\"\n"), "one to four numbers", 6},
    {"EmptyName", File("name = \"\"\n"), "name \"\" is empty", 5},
    {"NameLeavesItsFolder", File("name = \"..\\\\evil.txt\"\n"), "name \"..\\evil.txt\" leaves its folder", 5},
    {"DestinationLeavesItsFolder", File("destination = \"..\\\\..\\\\rel\"\n"), "leaves its folder", 5},
    {"DestinationOnADrive", File("destination = \"C:\\\\Tools\"\n"), "names a drive", 5},
    {"DestinationUnc", File("destination = \"\\\\\\\\server\\\\share\"\n"), "is absolute", 5},
    {"FolderDotDot", File("folder = \"docs/../..\"\n"), "leaves its folder", 5},
    {"NameMakesNoFolder", "[product]\nname = \"A: B\"\n",
     "default folder (give \"folder\") \"#Program Files#\\A: B\" holds ':'", 2},
    {"ProductFolderDotDot", kProduct + "folder = \"#Program Files#/../x\"\n", "leaves its folder", 3},
    {"DeviceName", File("name = \"con .txt\"\n"), "\"con .txt\", a Windows device name", 5},
    {"DeviceShortcut", File("desktop = { name = \"LPT9\" }\n"), "a Windows device name", 5},
    {"Stream", File("name = \"ab:stream\"\n"), "holds ':'", 5},
    {"ControlCharacter", File("name = \"a\\tb\"\n"), "control character 9", 5},
    {"FolderEndsInADot", File("folder = \"docs.\"\n"), "ends in a dot", 5},
    {"NameEndsInABlank", File("name = \"a.txt \"\n"), "ends in a blank", 5},
    {"Component256", File("name = \"" + std::string(256, 'n') + "\"\n"), "part of 256 characters", 5},
    {"Path257", File("folder = \"" + std::string(200, 'd') + "\"\nname = \"" + std::string(56, 'n') + "\"\n"),
     "is 257 characters long", 6},
    {"CaseCollision",
     kProduct + "[[files]]\nsource = \"a.txt\"\nname = \"\u00c9.txt\"\n[[files]]\nsource = \"b.txt\"\n"
                "destination = \"#InstallDir#\"\nname = \"\u00e9.TXT\"\n",
     "\"\u00e9.TXT\" from \"b.txt\" goes where \"\u00c9.txt\" from \"a.txt\" (line 3) goes", 6},
    {"CaseCollisionInAFolder", kProduct + "[[files]]\nsource = \"case\"\n",
     "\"x.txt\" from \"case/x.txt\" goes where \"X.txt\" from \"case/X.txt\" (line 3) goes", 3},
    {"UnknownType", File("types = [\"Full\"]\n"), "install type \"Full\" does not exist", 5},
    {"NotInCodePage", kProduct + "publisher = \"Caf\u00e9 \u2603\"\n", "\"\u2603\" cannot be written in code page 1252",
     3},
    {"NotInCodePage1251", kProduct + "[setup]\ncodepage = 1251\n[[files]]\nsource = \"a.txt\"\nname = \"\u00e9\"\n",
     "cannot be written in code page 1251", 5},
    {"LicenseNotUtf8", kProduct + "license = \"latin1.txt\"\n",
     "latin1.txt\" is not UTF-8 (byte 0xE9 at 3; it looks like Latin-1", 3},
    {"BackslashByteInCp932",
     kProduct + "[setup]\ncodepage = 932\n[[files]]\nsource = \"a.txt\"\nname = \"\u8868.txt\"\n",
     "backslash byte in code page 932", 5},
    {"UnknownCodePage", kProduct + "[setup]\ncodepage = 9999\n", "code page 9999 is unknown", 4},
    {"NamesAtTheirLimits",
     "[product]\nname = \"Caf\u00e9\"\nfolder = \"D:\\\\Games\\\\P\"\n[[files]]\nsource = \"sub\\\\c.txt\"\n"
     "folder = \"" +
         std::string(200, 'd') + "\"\nname = \"" + std::string(55, 'n') + "\"\n",
     nullptr},
    {"StubHoldsTheSignature", kProduct, "signature itself at offset 2000", 0,
     Stub(2000) + "wwgT)H" + std::string(100, 'S')},
};

class ProjectTest : public testing::TestWithParam<Case> {};

TEST_P(ProjectTest, BuildsOrNamesFileLineAndProblem) {
  const Case& c = GetParam();
  test::ScratchProject scratch;
  for (auto [name, text] : {std::pair{"a.txt", "alpha"},
                            {"b.txt", "beta"},
                            {"sub/c.txt", "gamma"},
                            {"latin1.txt", "Caf\xE9"},
                            {"case/X.txt", "upper"},
                            {"case/x.txt", "lower"}})
    scratch.Write(name, text);
  std::filesystem::remove(scratch.Path("stub.exe"));
  if (!c.stub.empty()) scratch.Write("stub.exe", c.stub);
  if (!c.uninstaller) std::filesystem::remove(scratch.Path("uninstaller.exe"));
  try {
    Bytes setup = ToBytes(ReadAll(scratch.Build(c.toml)));
    ASSERT_FALSE(c.error) << "no error";
    size_t at = std::max<size_t>(c.stub.size(), format::kSignatureMinOffset);
    ASSERT_GT(setup.size(), at + 6);
    EXPECT_TRUE(format::IsSignatureAt(&setup[at]));
    return;
  } catch (const BuildError& e) {
    ASSERT_TRUE(c.error) << e.what();
    EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    if (c.line) EXPECT_EQ(e.where().file, scratch.Path("project.toml").string()) << e.what();
    EXPECT_EQ(e.where().line, c.line) << e.what();
  }
  for (const char* name : {"setup.exe", "setup.exe.partial"})  // nothing partial is left behind
    EXPECT_FALSE(std::filesystem::exists(scratch.Path(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(Project, ProjectTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What builds but is probably wrong: the warnings each case gives, in order,
// as "line: text"; none for what authors mean.
struct WarningCase {
  const char* name;
  std::string toml;
  std::vector<std::string> warnings;
};

const std::string kFile = "[[files]]\nsource = \"a.txt\"\n";
const WarningCase kWarningCases[] = {
    {"None", kProduct + "license = \"a.txt\"\nversion = \"1.0\"\nregister_uninstall = true\n" + kFile, {}},
    {"NoFiles", kProduct + "[[install_type]]\nname = \"Empty\"\n", {"3: install type \"Empty\" installs no files"}},
    {"NoFilesAtAll", kProduct, {"1: the project installs no files"}},
    {"EmptySource", kProduct + "[[files]]\nsource = \"empty.txt\"\n", {"3: source \""}},
    {"RegisteredWithoutVersion",
     kProduct + "register_uninstall = true\n" + kFile,
     {"1: register_uninstall is set but [product] has no \"version\""}},
    {"EmptyLicenseFile",
     kProduct + "license = \"empty.txt\"\n" + kFile,
     {"3: the license file is empty: the agreement page is left out"}},
    {"EmptyInformationShown",
     kProduct + "information = \"blank.txt\"\npages = [\"information\"]\n" + kFile,
     {"3: the information file is empty: the information page shows no text"}},
    {"PageWithoutText",
     kProduct + "pages = [\"welcome\", \"agreement\"]\n" + kFile,
     {"3: pages show \"agreement\" but no license is given"}},
    {"TextWithoutPage",
     kProduct + "license = \"a.txt\"\npages = [\"welcome\"]\n" + kFile,
     {"3: the license is never shown: pages leave out \"agreement\""}},
    {"SixtyFourBitProgram",
     kProduct + "[[files]]\nsource = \"x64.exe\"\n[[files]]\nsource = \"arm.DLL\"\n[[files]]\nsource = \"x64.txt\"\n",
     {"3: a 64-bit program in a 32-bit product", "5: a 64-bit program"}},
    {"LicenseTextWithDefaultPages",
     kProduct + kFile + "[texts]\nlicense = \"Terms\"\n",
     {"6: the license is never shown"}},
};

class WarningTest : public testing::TestWithParam<WarningCase> {};

TEST_P(WarningTest, NamesLineAndProblemOnce) {
  const WarningCase& c = GetParam();
  test::ScratchProject scratch;
  for (auto [name, text] : {std::pair{"a.txt", "alpha"}, {"empty.txt", ""}, {"blank.txt", "\r\n \n"}})
    scratch.Write(name, text);
  for (auto [name, machine] : {std::pair{"x64.exe", 0x8664}, {"arm.DLL", 0xAA64}, {"x64.txt", 0x8664}})
    scratch.Write(name, Stub(300, static_cast<uint16_t>(machine)));
  scratch.Write("project.toml", c.toml);
  std::vector<Warning> found = FindWarnings(LoadProject(scratch.Path("project.toml"), {}));
  ASSERT_EQ(found.size(), c.warnings.size()) << (found.empty() ? "" : found[0].text);
  for (size_t i = 0; i < found.size(); ++i)
    EXPECT_TRUE((std::to_string(found[i].where.line) + ": " + found[i].text).starts_with(c.warnings[i]))
        << found[i].text;
}

INSTANTIATE_TEST_SUITE_P(Project, WarningTest, testing::ValuesIn(kWarningCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wrenly::builder
