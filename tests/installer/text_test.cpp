#include "fixtures.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "text/path_variables.h"

namespace {

using Text = InstallerTest;

// The format's own tests find the items; here the list number and the lists missing.
TEST_F(Text, MessageLookupsTable) {
  const int last = wf::install_type::kMessageListCount - 1;  // the list the type holds; the others are missing
  EXPECT_STREQ(GetMessageText(setup, last, 0), "") << "no current type";
  InstallTypeSlot slot{};
  Bytes list = {2, 0, 'a', 0, 'b', 0};  // the item count, then the items
  slot.lists[last] = list.data(), setup.package.currentType = &slot;
  const std::tuple<int, int, const char*> cases[] = {
      {last, 1, "b"}, {last, 2, ""}, {msg::kListMessages, 0, ""}, {last + 1, 0, ""}, {-1, 0, ""}};
  for (auto& [n, item, text] : cases) EXPECT_STREQ(GetMessageText(setup, n, item), text) << n << " " << item;
}

TEST_F(Text, PathVariableExpansionTable) {
  // What a 32-bit program reads in each view of 64-bit Windows.
  const std::string version = "|Software\\Microsoft\\Windows\\CurrentVersion|";
  Fake.registry["2" + version + "ProgramFilesDir"] = "C:\\Program Files (x86)";
  Fake.registry["258" + version + "ProgramFilesDir"] = "C:\\Program Files";
  Fake.registry["2" + version + "CommonFilesDir"] = "C:\\Common";
  Fake.specialFolders[26] = "C:\\Users\\me\\AppData\\";
  Fake.specialFolders[28] = "C:\\Users\\me\\Local";
  enum { kX86, kX64, kUser, kUserX64 };
  struct {
    const char *in, *out, *installDir = "D:\\X", *ownPath = "E:\\media\\setup.exe";
    int product = kX86;
  } cases[] = {
      {"#Windows#\\win.ini", "C:\\WINDOWS\\win.ini"},
      {"#SYSTEM#", "C:\\WINDOWS\\system32"},
      {"a#b", "a#b"},
      {"#Date#", "20240305"},
      {"#Foo#bar", "bar"},
      {"x##y", "xy"},
      {"#InstallDir##InstallDir#", "D:\\XD:\\X"},
      {"#Program Files#\\App", "C:\\Program Files (x86)\\App"},
      {"#Program Files#\\App", "C:\\Program Files\\App", "", "", kX64},
      {"#Program Files#\\App", "C:\\Users\\me\\Local\\Programs\\App", "", "", kUser},
      {"#Program Files#\\App", "C:\\Users\\me\\Local\\Programs\\App", "", "", kUserX64},
      {"#CommonFiles#", "C:\\Users\\me\\Local\\Programs\\Common", "", "", kUser},
      {"#CommonFiles#\\App", "C:\\Common\\App"},
      {"#MyDocuments#\\x", "#MyDocuments#\\x"},  // not found: the token stays
      {"#AppData#\\x", "C:\\Users\\me\\AppData\\x"},
      {"#SourceDir#\\data", "E:\\media\\data"},
      {"#Start Menu#\\x", "\\x"},
      {"#SourceDir#", "setup.exe", "", "setup.exe"},
      {"#InstallDir#", "D:\\#Windows#", "D:\\#Windows#"},        // values are not scanned again
      {"#InstallDir#\\readme.txt", "D:\\\\readme.txt", "D:\\"},  // a drive root keeps its backslash
  };
  for (auto& c : cases) {
    std::strcpy(setup.installFolder, c.installDir), std::strcpy(setup.ownPath, c.ownPath);
    setup.wideView = c.product == kX64 || c.product == kUserX64;
    setup.package.scope = c.product >= kUser ? wf::kScopeUser : wf::kScopeMachine;
    uint32_t n = ExpandPathVariables(setup, nullptr, c.in, kExpandWorkSize);
    std::string out(n + 1, '\x7f');
    EXPECT_EQ(ExpandPathVariables(setup, out.data(), c.in, n + 1), n);
    EXPECT_EQ(out, c.out + std::string(1, '\0')) << c.in;
  }
  // A short destination is cut and terminated; size 0 writes nothing.
  char out[8] = "1234567";
  EXPECT_EQ(ExpandPathVariables(setup, out, "#Windows#\\x", 6), 12u);
  EXPECT_EQ(ExpandPathVariables(setup, out + 6, "#Windows#", 0), 10u);
  EXPECT_EQ(std::string(out, 8), std::string("C:\\WI\0"
                                             "7\0",
                                             8));
}

TEST_F(Text, BackslashesAndFolderChains) {
  const std::tuple<const char*, const char*, const char*> cases[] = {// in, appended, stripped
                                                                     {"", "", ""},
                                                                     {"C:", "C:\\", "C:"},
                                                                     {"C:\\", "C:\\", "C:\\"},
                                                                     {"C:\\Dir", "C:\\Dir\\", "C:\\Dir"},
                                                                     {"C:\\Dir\\", "C:\\Dir\\", "C:\\Dir"},
                                                                     {"C:\\Dir\\\\", "C:\\Dir\\\\", "C:\\Dir\\"}};
  for (auto& [in, appended, stripped] : cases) {
    char a[260], s[260];
    AppendBackslash(std::strcpy(a, in)), StripBackslash(std::strcpy(s, in));
    EXPECT_EQ(std::string(a) + "|" + s, std::string(appended) + "|" + stripped) << in;
  }
  const std::tuple<const char*, std::vector<std::string>, int> chains[] = {
      {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B"}, 0},           {"C:\\A", {}, 0},
      {"C:\\Existing\\New\\f", {"C:\\Existing\\New"}, 0}, {"\\\\server\\share\\f", {}, 1},
      {"C:\\A\\B\\file.txt", {"C:\\A", "C:\\A\\B"}, 0},
  };
  for (auto& [path, created, result] : chains) {
    ResetFakes(), Fake.AddFolder("C:\\Existing");
    EXPECT_EQ((std::pair{CreateFolderChain(path), Fake.created}), std::pair(result, created)) << path;
  }
  EXPECT_EQ(Fake.currentFolder, "C:\\A\\B") << "the deepest folder is left current";
}

}  // namespace
