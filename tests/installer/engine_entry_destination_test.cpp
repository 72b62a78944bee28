#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/destination.h"

namespace {

struct TempNameCase {
  const char* destination;
  std::vector<std::string> taken;
  const char* expected;  // null: no name
};

class TemporaryName : public EntryTest, public ::testing::WithParamInterface<TempNameCase> {};

TEST_P(TemporaryName, BesideTheDestination) {
  const TempNameCase& c = GetParam();
  for (const auto& t : c.taken) FakeFiles.present.insert(t);
  char out[260] = "unchanged";
  int r = MakeTemporaryName(c.destination, out, sizeof out);
  if (!c.expected) {
    EXPECT_EQ(r, 1);
    return;
  }
  ASSERT_EQ(r, 0);
  EXPECT_STREQ(out, c.expected);
}

std::vector<std::string> AllLetters() {
  std::vector<std::string> all;
  for (char c = 'A'; c <= 'Z'; ++c) all.push_back(std::string("C:\\App\\data.$$") + c);
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TemporaryName,
    ::testing::Values(
        TempNameCase{"C:\\App\\data.dll", {}, "C:\\App\\data.$$A"},
        TempNameCase{"C:\\App\\data.dll", {"C:\\App\\data.$$A"}, "C:\\App\\data.$$B"},
        TempNameCase{"C:\\App\\data.dll", {"C:\\App\\data.$$A", "C:\\App\\data.$$B"}, "C:\\App\\data.$$C"},
        TempNameCase{"C:\\App\\data.dll", {"C:\\App\\data.$$B"}, "C:\\App\\data.$$A"},
        TempNameCase{"C:\\App.2\\readme", {}, "C:\\App.2\\readme.$$A"},
        TempNameCase{"C:\\App\\archive.tar.gz", {}, "C:\\App\\archive.tar.$$A"},
        TempNameCase{"C:\\App\\data.dll", AllLetters(), nullptr},
        TempNameCase{"", {}, ".$$A"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(EntryTest, TemporaryNameThatDoesNotFitIsRefused) {
  std::string longName = "C:\\" + std::string(253, 'a');  // 256 bytes, no extension
  char out[260];
  EXPECT_EQ(MakeTemporaryName(longName.c_str(), out, sizeof out), 1);
  longName.pop_back();  // 255 + ".$$A" + NUL = 260
  EXPECT_EQ(MakeTemporaryName(longName.c_str(), out, sizeof out), 0);
  EXPECT_EQ(std::strlen(out), 259u);
}

struct EscapeCase {
  const char* name;
  bool leaves;
};

class NameEscape : public EntryTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(NameEscape, RelativeNamesStayInTheirFolder) {
  EXPECT_EQ(NameLeavesFolder(GetParam().name), GetParam().leaves) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, NameEscape,
                         ::testing::Values(EscapeCase{"a.txt", false}, EscapeCase{"data\\img\\a.bmp", false},
                                           EscapeCase{"a..b\\c..", false}, EscapeCase{"..\\x", true},
                                           EscapeCase{"sub\\..\\..\\x", true}, EscapeCase{"sub\\..", true},
                                           EscapeCase{"sub/../../x", true}, EscapeCase{"\\Windows\\x", true},
                                           EscapeCase{"/etc/x", true}, EscapeCase{"C:\\x", true},
                                           EscapeCase{"c:x", true}, EscapeCase{"file.txt:stream", true}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

struct KindCase {
  uint32_t kind;
  std::string item0;
  std::string item9;
  std::string expected;  // "" with a fault
  bool inUse = false;
  std::string present = "";        // a name that exists but cannot be opened
  std::string sharedProposal = "C:\\Common\\Shared";
  bool noSpecialFolders = false;
  bool sharedOverflow = false;
};

class Destination : public EntryTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(Destination, PerKind) {
  const KindCase& c = GetParam();
  SetInstallFolder("C:\\App\\");
  if (!c.noSpecialFolders) {
    Fake.specialFolders = {{0x14, "C:\\WINDOWS\\Fonts"},
                           {0x10, "C:\\Users\\me\\Desktop"},
                           {5, "C:\\Users\\me\\Documents"},
                           {0x1A, "C:\\Users\\me\\AppData"}};
  }
  FakeFiles.sharedFolder = c.sharedProposal;
  FakeFiles.sharedLookupOverflows = c.sharedOverflow;
  if (!c.present.empty()) FakeFiles.present.insert(c.present);
  EntryPlan plan;
  plan.kind = c.kind;
  plan.items = {c.item0, "", "", "", "", "", "", "", "", c.item9};
  auto table = PlanTable(plan);
  bool inUse = ResolveEntryDestination(View(table));
  EXPECT_EQ(std::string(WorkPath), c.expected);
  EXPECT_EQ(DestinationFault, c.expected.empty() ? 31 : 0);
  EXPECT_EQ(inUse, c.inUse);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Destination,
    ::testing::Values(
        KindCase{0, "sub\\file.txt", "", "C:\\App\\sub\\file.txt"},
        KindCase{1, "sub\\file.txt", "", "C:\\WINDOWS\\file.txt"},
        KindCase{2, "lib\\x.dll", "", "C:\\Common\\Shared\\x.dll"},
        KindCase{2, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "", ""},
        KindCase{2, "x.dll", "", "C:\\Common\\Shared\\x.dll", true, "C:\\Common\\Shared\\x.dll"},
        KindCase{2, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "C:\\WINDOWS\\system32\\x.dll",
                 "C:\\Common\\Shared", false, true},
        KindCase{3, "fonts\\a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf"},
        KindCase{3, "a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf", true, "C:\\WINDOWS\\Fonts\\a.ttf"},
        KindCase{1, "a.ttf", "", "C:\\WINDOWS\\a.ttf", false, "C:\\WINDOWS\\a.ttf"},
        KindCase{4, "sub\\f.txt", "", "C:\\App\\f.txt"},
        KindCase{6, "sub\\f.txt", "", "C:\\App\\f.txt"},
        KindCase{42, "sub\\f.txt", "", "C:\\App\\f.txt"},
        KindCase{5, "f.lnk", "", "C:\\Users\\me\\Desktop\\f.lnk"},
        KindCase{5, "f.lnk", "", "C:\\App\\f.lnk", false, "", "", true},
        KindCase{7, "f.tmp", "", "C:\\TEMP\\f.tmp"},
        KindCase{8, "sub\\f.hlp", "#Windows#\\Help", "C:\\WINDOWS\\Help\\f.hlp"},
        KindCase{8, "f.hlp", std::string(300, 'h'), ""},
        KindCase{9, "sub\\file.txt", "", "C:\\Users\\me\\Documents\\sub\\file.txt"},
        KindCase{10, "Vendor\\cfg.ini", "", "C:\\Users\\me\\AppData\\Vendor\\cfg.ini"},
        KindCase{10, "cfg.ini", "", "C:\\App\\cfg.ini", false, "", "", true},
        KindCase{0, "..\\evil.dll", "", ""},
        KindCase{9, "C:\\evil.dll", "", ""},
        KindCase{10, "\\evil.dll", "", ""},
        KindCase{1, "sub\\..", "", ""},
        KindCase{4, "sub/..", "", ""},
        KindCase{0, std::string(600, 'n'), "", ""}),
    [](const auto& info) {
      return "kind" + std::to_string(info.param.kind) + "_case" + std::to_string(info.index);
    });

TEST_F(EntryTest, SourceFolderEntryNamesAFileBesideThePackage) {
  SetOwnPath("D:\\setup\\setup.exe");
  EntryPlan plan;
  plan.flags = 0x100;
  plan.kind = 3;  // the kind does not matter, nor is anything tested for use
  plan.items = {"readme.txt"};
  FakeFiles.present.insert("D:\\setup\\readme.txt");
  auto table = PlanTable(plan);
  EXPECT_FALSE(ResolveEntryDestination(View(table)));
  EXPECT_STREQ(WorkPath, "D:\\setup\\readme.txt");
}

TEST_F(EntryTest, AnEntryOutsideTheFileTableIsDamaged) {
  SetInstallFolder("C:\\App\\");
  EXPECT_FALSE(ResolveDestination(nullptr));
  EXPECT_EQ(DestinationFault, 31);
  EXPECT_STREQ(WorkPath, "");
}

}  // namespace
