#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer_fixture.h"
#include "package/package_model.h"
#include "package_writer.h"
#include "text/messages.h"
#include "text/path_services.h"
#include "text/path_variables.h"

namespace {

// A current type whose lists are built by hand, as the loader leaves them.
class Messages : public InstallerTest {
 protected:
  void UseLists(std::vector<std::pair<int, std::vector<std::string>>> lists) {
    for (auto& [n, items] : lists) {
      Bytes& b = storage_[n];
      b = {static_cast<uint8_t>(items.size()), static_cast<uint8_t>(items.size() >> 8)};
      for (auto& s : items) b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
      slot_.lists[n] = b.data();
    }
    ThePackage.currentType = &slot_;
  }
  InstallTypeSlot slot_{};
  Bytes storage_[10];
};

TEST_F(Messages, LookupsTable) {
  UseLists({{7, {"Caption", "one", "", "three", "four", "five"}}, {2, {"a", "", "b"}}, {9, {}}});
  struct {
    int list;
    uint16_t item;
    const char* text;
  } cases[] = {
      {7, 0, "Caption"}, {7, 5, "five"}, {7, 6, ""},  {7, 0xFFFF, ""}, {2, 1, ""},
      {2, 2, "b"},       {9, 0, ""},     {0, 0, ""},  {10, 0, ""},     {-1, 0, ""},
      {1000, 3, ""},
  };
  for (auto& c : cases) {
    const char* got = GetMessageText(c.list, c.item);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(got, c.text) << c.list << "/" << c.item;
  }
}

TEST_F(Messages, NoCurrentTypeYieldsEmptyText) { EXPECT_STREQ(GetMessageText(7, 0), ""); }

TEST(Backslashes, Table) {
  struct {
    const char* in;
    const char* appended;
    const char* stripped;
  } cases[] = {
      {"", "", ""},
      {"C:", "C:\\", "C:"},
      {"C:\\", "C:\\", "C:\\"},
      {"C:\\Dir", "C:\\Dir\\", "C:\\Dir"},
      {"C:\\Dir\\", "C:\\Dir\\", "C:\\Dir"},
      {"C:\\Dir\\\\", "C:\\Dir\\\\", "C:\\Dir\\"},
      {"ab\\", "ab\\", "ab\\"},
  };
  for (auto& c : cases) {
    char a[260], s[260];
    std::strcpy(a, c.in);
    std::strcpy(s, c.in);
    AppendBackslash(a);
    StripBackslash(s);
    EXPECT_STREQ(a, c.appended) << c.in;
    EXPECT_STREQ(s, c.stripped) << c.in;
  }
}

class PathVariables : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    Fake.registry["2|Software\\Microsoft\\Windows\\CurrentVersion|ProgramFilesDir"] = "C:\\Program Files";
    Fake.specialFolders[26] = "C:\\Users\\me\\AppData\\";
    std::strcpy(InstallFolder, "D:\\Apps\\Tool");
    std::strcpy(OwnPath, "E:\\media\\setup.exe");
  }
  std::string Expand(const std::string& in) {
    uint32_t n = ExpandPathVariables(nullptr, in.c_str(), kExpandWorkSize);
    std::string out(n + 1, '\x7f');
    EXPECT_EQ(ExpandPathVariables(out.data(), in.c_str(), n + 1), n);
    EXPECT_EQ(out[n], 0);
    return out.substr(0, n);
  }
};

TEST_F(PathVariables, ExpansionTable) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"#Windows#\\win.ini", "C:\\WINDOWS\\win.ini"},
      {"#windows#\\win.ini", "C:\\WINDOWS\\win.ini"},
      {"#SYSTEM#", "C:\\WINDOWS\\system32"},
      {"#Date#", "20240305"},
      {"a#b", "a#b"},
      {"50# off", "50# off"},
      {"#Foo#bar", "bar"},
      {"##", ""},
      {"x##y", "xy"},
      {"#InstallDir##InstallDir#", "D:\\Apps\\ToolD:\\Apps\\Tool"},
      {"#InstallDir#\\readme.txt", "D:\\Apps\\Tool\\readme.txt"},
      {"#Program Files#\\App", "C:\\Program Files\\App"},
      {"#CommonFiles#\\App", "#CommonFiles#\\App"},
      {"#MyDocuments#\\x", "#MyDocuments#\\x"},
      {"#AppData#\\x", "C:\\Users\\me\\AppData\\x"},
      {"#SourceDir#\\data", "E:\\media\\data"},
      {"#Start Menu#\\x", "\\x"},
      {"no tokens at all", "no tokens at all"},
      {"", ""},
  };
  for (auto& c : cases) EXPECT_EQ(Expand(c.in), c.out) << c.in;
}

TEST_F(PathVariables, ValuesAreNotScannedAgain) {
  std::strcpy(InstallFolder, "D:\\#Windows#");
  EXPECT_EQ(Expand("#InstallDir#"), "D:\\#Windows#");
}

TEST_F(PathVariables, DriveRootKeepsItsBackslash) {
  std::strcpy(InstallFolder, "D:\\");
  EXPECT_EQ(Expand("#InstallDir#\\readme.txt"), "D:\\\\readme.txt");
}

TEST_F(PathVariables, SourceDirWithoutBackslashStaysWhole) {
  std::strcpy(OwnPath, "setup.exe");
  EXPECT_EQ(Expand("#SourceDir#"), "setup.exe");
}

TEST_F(PathVariables, ExpandsInPlace) {
  std::strcpy(InstallFolder, "#Windows#\\Demo");
  EXPECT_EQ(ExpandPathVariables(InstallFolder, InstallFolder, kPathSize), 15u);
  EXPECT_STREQ(InstallFolder, "C:\\WINDOWS\\Demo");
}

TEST_F(PathVariables, ShortDestinationIsCutAndTerminated) {
  char out[8];
  std::memset(out, 0x7f, sizeof out);
  EXPECT_EQ(ExpandPathVariables(out, "#Windows#\\x", 6), 12u);
  EXPECT_STREQ(out, "C:\\WI");
  EXPECT_EQ(out[6], 0x7f);
}

TEST_F(PathVariables, ZeroSizeWritesNothing) {
  char out[4] = {'k', 'e', 'e', 'p'};
  EXPECT_EQ(ExpandPathVariables(out, "#Windows#", 0), 10u);
  EXPECT_EQ(out[0], 'k');
}

class FolderChain : public InstallerTest {};

TEST_F(FolderChain, CreatesOnlyTheMissingFolders) {
  struct {
    const char* path;
    std::vector<std::string> created;
    int result;
  } cases[] = {
      {"C:\\A\\B\\file.txt", {"C:\\A", "C:\\A\\B"}, 0},
      {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B"}, 0},
      {"C:\\A", {}, 0},
      {"C:\\Existing\\New\\f", {"C:\\Existing\\New"}, 0},
      {"\\\\server\\share\\f", {}, 1},
  };
  for (auto& c : cases) {
    ResetFakeSystem();
    Fake.AddFolder("C:\\Existing");
    EXPECT_EQ(CreateFolderChain(c.path), c.result) << c.path;
    EXPECT_EQ(Fake.created, c.created) << c.path;
  }
}

TEST_F(FolderChain, LeavesTheDeepestFolderCurrent) {
  EXPECT_EQ(CreateFolderChain("C:\\A\\B\\file.txt"), 0);
  EXPECT_EQ(Fake.currentFolder, "C:\\A\\B");
}

}  // namespace
