#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "startup/restart_ops.h"

namespace {

TEST(DeletionLine, OnlyThePlaceholderLineOfThatPathBecomesNul) {
  struct {
    const char *text, *path, *expected;  // the same text when nothing changes
  } cases[] = {
      {"[Rename]\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A", "[Rename]\r\nNUL=C:\\TMP\\A.$$A\r\n"},
      // The path also appears as the value of a rename: only the deletion changes.
      {"[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A",
       "[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nNUL=C:\\TMP\\A.$$A\r\n"},
      // A longer path that starts with this one is another file.
      {"[Rename]\r\nxyz=C:\\TMP\\AB\r\n", "C:\\TMP\\A", "[Rename]\r\nxyz=C:\\TMP\\AB\r\n"},
      {"[Rename]\r\naxyz=C:\\X\r\n", "C:\\X", "[Rename]\r\naxyz=C:\\X\r\n"},
      {"[Rename]\r\nxyz=C:\\X", "C:\\X", "[Rename]\r\nNUL=C:\\X"},
      {"[rename]\nXYZ=c:\\x\n", "C:\\X", "[rename]\nNUL=c:\\x\n"},
      {"xyz=C:\\", "C:\\X", "xyz=C:\\"},
      {"", "C:\\X", ""},
  };
  for (auto& c : cases) {
    std::string text = c.text;
    int changed = MarkDeletionLine(text.data(), (uint32_t)text.size(), c.path);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(changed, std::string(c.text) != c.expected ? 1 : 0) << c.text;
  }
}

TEST_F(EntryTest, RenameSectionAfterTheMoves) {
  using Moves = std::vector<std::pair<std::optional<std::string>, std::string>>;  // new (none: delete), existing
  struct {
    std::string before;
    Moves moves;
    std::string after;
  } cases[] = {
      {"", {{"C:\\APP\\A.DLL", "C:\\APP\\A.$$A"}}, "[Rename]\r\nC:\\APP\\A.DLL=C:\\APP\\A.$$A\r\n"},
      {"", {{std::nullopt, "C:\\A.TMP"}, {std::nullopt, "C:\\B.TMP"}}, "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n"},
      {"",
       {{"C:\\APP\\A.DLL", "C:\\APP\\A.$$A"}, {std::nullopt, "C:\\APP\\A.$$A"}},
       "[Rename]\r\nC:\\APP\\A.DLL=C:\\APP\\A.$$A\r\nNUL=C:\\APP\\A.$$A\r\n"},
      // Short forms, and other sections stay.
      {"[Boot]\r\nx=1\r\n",
       {{std::nullopt, "C:\\Program Files\\App\\old library.dll"}},
       "[Boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\PROGRA~1\\APP\\OLDLIB~1.DLL\r\n"},
  };
  FakeFiles.shortNames["C:\\Program Files\\App\\old library.dll"] = "C:\\PROGRA~1\\APP\\OLDLIB~1.DLL";
  for (auto& c : cases) {
    std::string ini = Path("WININIT.INI");
    std::filesystem::remove(ini);
    if (!c.before.empty()) Write("WININIT.INI", c.before);
    for (auto& [newPath, existing] : c.moves)
      RecordRestartRename(ini.c_str(), newPath ? newPath->c_str() : nullptr, existing.c_str());
    EXPECT_EQ(ReadAll(ini), c.after);
  }
}

TEST_F(EntryTest, NtFamilyAsksTheSystemAndLeavesNoText) {
  FakeFiles.ntFamily = true;
  Fake.windowsFolder = scratch;
  MoveFileAtRestart("C:\\APP\\A.DLL", "C:\\APP\\A.$$A");
  MoveFileAtRestart(nullptr, "C:\\APP\\B.$$A");
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(FakeFiles.restartMoves, (std::vector<P>{{"C:\\APP\\A.$$A", "C:\\APP\\A.DLL"}, {"C:\\APP\\B.$$A", ""}}));
  EXPECT_TRUE(std::filesystem::is_empty(scratch));
}

}  // namespace
