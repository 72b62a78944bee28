// Start-menu and desktop shortcuts of one entry: the links asked of the shell
// and the shortcuts block appended to the record.
#include "fixtures.h"
#include "format/uninstall_log.h"
#include "format/writer.h"
#include "install/destination.h"
#include "package/package_model.h"
#include "system/shortcuts.h"

namespace {

using ShortcutTest = InstallerTest;
using Record = std::tuple<uint8_t, std::string, std::string>;  // depth, folder, name

TEST_F(ShortcutTest, FoldersLinksAndRecords) {
  const std::string programs = "C:\\Menu\\Programs", startup = "C:\\Menu\\Startup", app = "C:\\App\\tool.exe";
  auto link = [&](std::string path, std::string args = "", std::string icon = "", int index = 3) {
    return path + "|" + app + "|" + args + "|" + icon + "|" + std::to_string(index);
  };
  const std::string fits(233, 'g'), tooLong(234, 'g');  // the link path takes 259 and 260 bytes
  struct Case {
    const char* name;
    std::vector<std::string> items;  // 1-7 after "tool.exe"
    std::vector<std::string> links;
    std::vector<Record> records;
    int missing = 0, flags = 0;
    bool nt = true;
    std::string extension = "", desktopName = "";
    int32_t result = 0;
  } cases[] = {
      {"group and startup", {"Tools;#Startup#", "Tool.lnk", "#InstallDir#\\a.txt"},
       {link(programs + "\\Tools\\Tool.lnk", "C:\\App\\a.txt"), link(startup + "\\Tool.lnk", "C:\\App\\a.txt")},
       {{0, programs + "\\Tools", "Tool.lnk"}, {0, startup, "Tool.lnk"}}},
      {"nested group", {"Vendor\\Tools", "Tool.lnk", "", "app.ico"},
       {link(programs + "\\Vendor\\Tools\\Tool.lnk", "", "C:\\App\\app.ico")},
       {{1, programs + "\\Vendor\\Tools", "Tool.lnk"}}},
      {"Programs itself", {"", "Tool.lnk"}, {link(programs + "\\Tool.lnk")}, {{0, programs, "Tool.lnk"}}},
      {"; at the end", {"#START MENU#;", "Tool.lnk"}, {link("C:\\Menu\\Tool.lnk")}, {{0, "C:\\Menu", "Tool.lnk"}}},
      {"no name", {"Tools", ""}, {}, {}},
      {"name with a folder", {"Tools", "..\\Tool.lnk"}, {}, {}},
      {"group leaving Programs", {"..\\..\\Windows;C:\\Tools", "Tool.lnk"}, {}, {}},
      {"saved as .pif", {"Tools", "Tool.lnk"}, {link(programs + "\\Tools\\Tool.pif")},
       {{0, programs + "\\Tools", "Tool.pif"}}, 0, 0, true, ".pif"},
      {"save failed", {"Tools", "Tool.lnk"}, {}, {}, 0, 0, true, "", "", -1},
      {"no Programs folder", {"Tools;#Startup#", "Tool.lnk"}, {link(startup + "\\Tool.lnk")},
       {{0, startup, "Tool.lnk"}}, 2},
      {"259 bytes", {fits + ";" + tooLong, "Tool.lnk"}, {link(programs + "\\" + fits + "\\Tool.lnk")},
       {{0, programs + "\\" + fits, "Tool.lnk"}}},
      {"desktop for all users", {"", "", "", "", "Tool.lnk", "#InstallDir#", "app.ico"},
       {link("C:\\Public\\Desktop\\Tool.lnk", "C:\\App", "C:\\App\\app.ico", 0)}, {}, 0, 0x800000},
      {"9x: own desktop", {"", "", "", "", "Tool.lnk"}, {link("C:\\Me\\Desktop\\Tool.lnk", "", "", 0)}, {}, 0, 0x800000, false},
      {"desktop as .pif", {"", "", "", "", "Tool.lnk"}, {link("C:\\Me\\Desktop\\Tool.pif", "", "", 0)}, {}, 0, 0, true,
       ".pif", "Tool.pif"},
      {"no desktop folder", {"", "", "", "", "Tool.lnk"}, {}, {}, 16},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    for (auto [number, folder] : {std::pair{2, programs}, {7, startup}, {11, std::string("C:\\Menu")},
                                  {16, std::string("C:\\Me\\Desktop")}, {25, std::string("C:\\Public\\Desktop")}})
      if (number != c.missing) Fake.specialFolders[number] = folder, Fake.AddFolder(folder);
    FakeFiles.ntFamily = c.nt, FakeFiles.linkExtension = c.extension, FakeFiles.linkResult = c.result;
    FileEntryFields entry{.items = {"tool.exe"}, .flags = (uint32_t)c.flags, .iconIndex = 3};
    entry.items.insert(entry.items.end(), c.items.begin(), c.items.end());
    entry.items.resize(8);
    Load(FileTable({entry}));
    std::strcpy(InstallFolder, "C:\\App\\");
    ResolveDestination(ThePackage.firstEntry);
    CreateEntryDesktopShortcut(ThePackage.firstEntry);
    Write("uninst.exe", std::string("MZ"));
    FileHandle file = FileOpen(Path("uninst.exe").c_str(), kFileReadWrite);
    FileSeek(file, 0, kSeekEnd);
    CreateStartMenuShortcuts(file);
    uint32_t at = FileTell(file);
    FileClose(file);

    wf::ByteWriter block;
    if (!c.records.empty()) block.U16(wf::kUninstallShortcuts), block.U16(0), block.U32(0), block.U32(c.records.size());
    for (auto& [depth, folder, name] : c.records) block.U8(depth), block.StringField(folder), block.StringField(name);
    if (!c.records.empty()) block.PatchU32(wf::block_header::kLength, block.size() - wf::block_header::kSize);
    std::string expected = "MZ" + std::string(block.bytes().begin(), block.bytes().end());
    wf::FileEntryView e;
    ASSERT_TRUE(FindFileEntry(ThePackage.firstEntry, &e));
    std::string desktopName = c.desktopName.empty() ? entry.items[5] : c.desktopName;
    EXPECT_EQ(std::tuple(FakeFiles.links, ReadAll(Path("uninst.exe")), at, std::string(e.strings[5])),
              std::tuple(c.links, expected, (uint32_t)expected.size(), desktopName));
  }
}

}  // namespace
