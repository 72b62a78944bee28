// Start-menu and desktop shortcuts of one entry: the links asked of the shell
// and the shortcuts block appended to the record.
#include "system/shortcuts.h"

#include "fixtures.h"
#include "format/writer.h"
#include "install/install_next_entry.h"

using ShortcutTest = InstallerTest;

TEST_F(ShortcutTest, FoldersLinksAndRecords) {
  const std::string fits(248, 'g'), tooLong(249, 'g');  // the link path takes 259 and 260 bytes
  constexpr int AllUsers = wf::kFlagAllUsersDesktop;
  struct Case {
    std::vector<std::string> items, links, records = {};  // 1 to 7; link|arguments|icon|index; depth|folder|name
    int missing = 0, flags = 0, nt = 1, result = 0;
    std::string extension = "";
  } cases[] = {
      {{"Tools;#Startup#", "T.lnk", "#InstallDir#\\a"},
       {"C:\\P\\Tools\\T.lnk|C:\\App\\a||3", "C:\\S\\T.lnk|C:\\App\\a||3"},
       {"0|C:\\P\\Tools|T.lnk", "0|C:\\S|T.lnk"}},
      {{"V\\Tools", "T.lnk", "", "i.ico"}, {"C:\\P\\V\\Tools\\T.lnk||C:\\App\\i.ico|3"}, {"1|C:\\P\\V\\Tools|T.lnk"}},
      {{"", "T.lnk"}, {"C:\\P\\T.lnk|||3"}, {"0|C:\\P|T.lnk"}},
      {{"#START MENU#;", "T.lnk"}, {"C:\\M\\T.lnk|||3"}, {"0|C:\\M|T.lnk"}},
      {{"Tools", ""}, {}},
      {{"Tools", "..\\T.lnk"}, {}},
      {{"..\\..\\Windows;C:\\Tools;\\Tools", "T.lnk"}, {}},
      {{"Tools", "T.lnk"}, {"C:\\P\\Tools\\T.pif|||3"}, {"0|C:\\P\\Tools|T.pif"}, 0, 0, 1, 0, ".pif"},
      {{"Tools", "T.lnk"}, {}, {}, 0, 0, 1, -1},
      {{"Tools;#Startup#", "T.lnk"}, {"C:\\S\\T.lnk|||3"}, {"0|C:\\S|T.lnk"}, 2},
      {{fits + ";" + tooLong, "T.lnk"}, {"C:\\P\\" + fits + "\\T.lnk|||3"}, {"0|C:\\P\\" + fits + "|T.lnk"}},
      {{"", "", "", "", "T.lnk", "#InstallDir#", "i.ico"}, {"C:\\C\\T.lnk|C:\\App|C:\\App\\i.ico|0"}, {}, 0, AllUsers},
      {{"", "", "", "", "T.lnk"}, {"C:\\D\\T.pif|||0"}, {}, 0, AllUsers, 0, 0, ".pif"},  // 9x
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.items[0] + "," + c.items[1]);
    Fresh();
    for (auto [number, folder] : {std::pair{2, "C:\\P"}, {7, "C:\\S"}, {11, "C:\\M"}, {16, "C:\\D"}, {25, "C:\\C"}})
      if (number != c.missing) Fake.specialFolders[number] = folder, Fake.AddFolder(folder);
    FakeFiles.ntFamily = c.nt, FakeFiles.linkExtension = c.extension, FakeFiles.linkResult = c.result;
    FileEntryFields entry{.items = c.items, .flags = (uint32_t)c.flags, .iconIndex = 3};
    entry.items.insert(entry.items.begin(), "tool.exe"), entry.items.resize(8);
    Load(FileTable({entry})), std::strcpy(setup.installFolder, "C:\\App\\");
    ResolveDestination(setup, setup.package.firstEntry), CreateEntryDesktopShortcut(setup, setup.package.firstEntry);
    Write("uninst.exe", std::string("MZ"));
    FileHandle file = FileOpen(Path("uninst.exe").c_str(), kFileReadWrite);
    FileSeek(file, 0, kSeekEnd), CreateStartMenuShortcuts(setup, file);
    uint32_t at = FileTell(file);
    FileClose(file);

    wf::ByteWriter block;  // 0x1236, flags and length, count; the length patched in
    block.U16(wf::kUninstallShortcuts), block.Zeros(6), block.U32(c.records.size());
    for (auto& r : c.records)
      block.U8(r[0] - '0'), block.StringField(r.substr(2, r.rfind('|') - 2)),
          block.StringField(r.substr(r.rfind('|') + 1));
    block.PatchU32(wf::block_header::kLength, block.size() - wf::block_header::kSize);
    std::string expected = "MZ" + (c.records.empty() ? "" : std::string(block.bytes().begin(), block.bytes().end()));
    for (auto& l : c.links) l.insert(l.find('|'), "|C:\\App\\tool.exe");
    wf::FileEntryView e{};  // the desktop name takes the extension the shell used
    FindFileEntry(setup, setup.package.firstEntry, &e);
    std::string item5 = c.extension.empty() || entry.items[5].empty() ? entry.items[5] : "T" + c.extension;
    EXPECT_EQ(std::tuple(FakeFiles.links, ReadAll(Path("uninst.exe")), at, std::string(e.strings[5])),
              std::tuple(c.links, expected, (uint32_t)expected.size(), item5));
  }
}
