#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "entry_names.h"
#include "install/data_area.h"
#include "install/destination.h"

namespace {

TEST_F(EntryTest, TemporaryNameBesideTheDestination) {
  std::vector<std::string> all;
  for (char c = 'A'; c <= 'Z'; ++c) all.push_back(std::string("C:\\App\\data.$$") + c);
  std::string tooLong = "C:\\" + std::string(253, 'a'), fits = "C:\\" + std::string(252, 'a');
  struct { std::string destination; std::vector<std::string> taken; std::string expected; } cases[] = {  // "": refused
      {"C:\\App\\data.dll", {"C:\\App\\data.$$A", "C:\\App\\data.$$B"}, "C:\\App\\data.$$C"},
      {"C:\\App\\data.dll", {"C:\\App\\data.$$B"}, "C:\\App\\data.$$A"},
      {"C:\\App.2\\readme", {}, "C:\\App.2\\readme.$$A"},
      {"C:\\App\\archive.tar.gz", {}, "C:\\App\\archive.tar.$$A"},
      {"C:\\App\\data.dll", all, ""},
      {tooLong, {}, ""},           // 256 bytes, no extension
      {fits, {}, fits + ".$$A"},  // 255 + ".$$A" + NUL = 260
  };
  for (auto& c : cases) {
    FakeFiles.present = {c.taken.begin(), c.taken.end()};
    char out[260] = "unchanged";
    EXPECT_EQ(MakeTemporaryName(c.destination.c_str(), out, sizeof out), c.expected.empty() ? 1 : 0) << c.destination;
    if (!c.expected.empty()) EXPECT_EQ(std::string(out), c.expected);
  }
}

TEST(VolumeNames, Table) {
  std::string fits(254, 'a'), tooLong(255, 'a');
  struct { std::string base; int number; std::string name; } cases[] = {  // "" when refused
      {"C:\\App\\setup.exe", 1, "C:\\App\\setup.D01"}, {"C:\\App\\setup.exe", 12, "C:\\App\\setup.D12"},
      {"C:\\App\\setup.D01", 2, "C:\\App\\setup.D02"}, {"C:\\App.2\\setup", 1, "C:\\App.2\\setup.D01"},
      {"C:\\App\\a.b.exe", 3, "C:\\App\\a.b.D03"},     {"/tmp/x.y/setup.exe", 1, "/tmp/x.y/setup.D01"},
      {fits, 1, fits + ".D01"},                        {tooLong, 1, ""},
      {"a.exe", 100, ""},
  };
  for (auto& c : cases) {
    char out[260] = "";
    EXPECT_EQ(MakeVolumePath(c.base.c_str(), c.number, out), c.name.empty() ? 0 : 1) << c.base;
    if (!c.name.empty()) EXPECT_EQ(std::string(out), c.name);
  }
}

TEST(NameEscape, RelativeNamesStayInTheirFolder) {
  for (const auto& c : kEntryNames)  // an empty name names no file, so it leaves nothing
    if (*c.name) EXPECT_EQ(NameLeavesFolder(c.name), !c.parts) << c.name;
}

TEST_F(EntryTest, DestinationPerKind) {
  // expected "" with a fault; present: a name that exists but cannot be opened.
  struct { uint32_t kind; std::string item0, item9, expected; bool inUse = false;
           std::string present = "", sharedProposal = "C:\\Common\\Shared";
           bool noSpecialFolders = false, sharedOverflow = false; uint32_t flags = 0; } cases[] = {
      {0, "sub\\file.txt", "", "C:\\App\\sub\\file.txt"},
      {1, "sub\\file.txt", "", "C:\\WINDOWS\\file.txt"},
      {2, "lib\\x.dll", "", "C:\\Common\\Shared\\x.dll"},
      {2, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "", ""},
      {2, "x.dll", "", "C:\\Common\\Shared\\x.dll", true, "C:\\Common\\Shared\\x.dll"},
      {2, "x.dll", "", "C:\\WINDOWS\\system32\\x.dll", false, "C:\\WINDOWS\\system32\\x.dll", "C:\\Common\\Shared",
       false, true},
      {3, "fonts\\a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf"},
      {3, "a.ttf", "", "C:\\WINDOWS\\Fonts\\a.ttf", true, "C:\\WINDOWS\\Fonts\\a.ttf"},
      {4, "sub\\f.txt", "", "C:\\App\\f.txt"},
      {42, "sub\\f.txt", "", "C:\\App\\f.txt"},
      {5, "f.lnk", "", "C:\\Users\\me\\Desktop\\f.lnk"},
      {7, "f.tmp", "", "C:\\TEMP\\f.tmp"},
      {8, "sub\\f.hlp", "#Windows#\\Help", "C:\\WINDOWS\\Help\\f.hlp"},
      {8, "f.hlp", std::string(300, 'h'), ""},
      {9, "sub\\file.txt", "", "C:\\Users\\me\\Documents\\sub\\file.txt"},
      {10, "Vendor\\cfg.ini", "", "C:\\Users\\me\\AppData\\Vendor\\cfg.ini"},
      {10, "cfg.ini", "", "C:\\App\\cfg.ini", false, "", "", true},
      // Beside the package, whatever the kind, and never tested for use.
      {3, "readme.txt", "", "D:\\setup\\readme.txt", false, "D:\\setup\\readme.txt", "", false, false, 0x100},
      {0, "..\\evil.dll", "", ""},
      {9, "C:\\evil.dll", "", ""},
      {1, "sub\\..", "", ""},
      {0, std::string(600, 'n'), "", ""},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.item0 + " of kind " + std::to_string(c.kind));
    Fresh();
    std::strcpy(InstallFolder, "C:\\App\\");
    SetOwnPath("D:\\setup\\setup.exe");
    if (!c.noSpecialFolders)
      Fake.specialFolders = {{0x14, "C:\\WINDOWS\\Fonts"}, {0x10, "C:\\Users\\me\\Desktop"},
                             {5, "C:\\Users\\me\\Documents"}, {0x1A, "C:\\Users\\me\\AppData"}};
    FakeFiles.sharedFolder = c.sharedProposal;
    FakeFiles.sharedLookupOverflows = c.sharedOverflow;
    if (!c.present.empty()) FakeFiles.present.insert(c.present);
    EntryPlan plan;
    plan.kind = c.kind;
    plan.flags = c.flags;
    plan.items = {c.item0, "", "", "", "", "", "", "", "", c.item9};
    auto table = PlanTable(plan);
    EXPECT_EQ(ResolveEntryDestination(View(table)), c.inUse);
    EXPECT_EQ(std::string(WorkPath), c.expected);
    EXPECT_EQ(DestinationFault, c.expected.empty() ? 31 : 0);
  }
  // An entry outside the file table is damaged.
  SetWorkPath("stale");
  DestinationFault = 0;
  EXPECT_FALSE(ResolveDestination(nullptr));
  EXPECT_EQ(DestinationFault, 31);
  EXPECT_STREQ(WorkPath, "");
}

}  // namespace
