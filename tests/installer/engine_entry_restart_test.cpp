#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "startup/restart_ops.h"

namespace {

struct MarkCase {
  const char* text;
  const char* path;
  const char* expected;  // the same text when nothing changes
};

class DeletionLine : public ::testing::TestWithParam<MarkCase> {};

TEST_P(DeletionLine, OnlyThePlaceholderLineOfThatPathBecomesNul) {
  const MarkCase& c = GetParam();
  std::string text = c.text;
  int changed = MarkDeletionLine(text.data(), (uint32_t)text.size(), c.path);
  EXPECT_EQ(text, c.expected);
  EXPECT_EQ(changed, std::string(c.text) != c.expected ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeletionLine,
    ::testing::Values(
        MarkCase{"[Rename]\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A", "[Rename]\r\nNUL=C:\\TMP\\A.$$A\r\n"},
        // The path also appears as the value of a rename: only the deletion changes.
        MarkCase{"[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A",
                 "[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nNUL=C:\\TMP\\A.$$A\r\n"},
        // A longer path that starts with this one is another file.
        MarkCase{"[Rename]\r\nxyz=C:\\TMP\\AB\r\n", "C:\\TMP\\A", "[Rename]\r\nxyz=C:\\TMP\\AB\r\n"},
        MarkCase{"[Rename]\r\naxyz=C:\\X\r\n", "C:\\X", "[Rename]\r\naxyz=C:\\X\r\n"},
        MarkCase{"[Rename]\r\nxyz=C:\\X", "C:\\X", "[Rename]\r\nNUL=C:\\X"},
        MarkCase{"[rename]\nXYZ=c:\\x\n", "C:\\X", "[rename]\nNUL=c:\\x\n"},
        MarkCase{"xyz=C:\\", "C:\\X", "xyz=C:\\"},
        MarkCase{"", "C:\\X", ""}));

struct Move {
  std::optional<std::string> newPath;  // none: delete
  std::string existing;
};

struct WininitCase {
  const char* name;
  std::string before;
  std::vector<Move> moves;
  std::string after;
};

class Wininit : public EntryTest, public ::testing::WithParamInterface<WininitCase> {};

TEST_P(Wininit, RenameSectionAfterTheMoves) {
  const WininitCase& c = GetParam();
  FakeFiles.shortNames["C:\\Program Files\\App\\old library.dll"] = "C:\\PROGRA~1\\APP\\OLDLIB~1.DLL";
  std::string ini = Path("WININIT.INI");
  if (!c.before.empty()) Write(ini, c.before);
  for (const Move& m : c.moves)
    RecordRestartRename(ini.c_str(), m.newPath ? m.newPath->c_str() : nullptr, m.existing.c_str());
  EXPECT_EQ(Read(ini), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wininit,
    ::testing::Values(
        WininitCase{"rename", "", {{"C:\\APP\\A.DLL", "C:\\APP\\A.$$A"}},
                    "[Rename]\r\nC:\\APP\\A.DLL=C:\\APP\\A.$$A\r\n"},
        WininitCase{"two_deletions", "", {{std::nullopt, "C:\\A.TMP"}, {std::nullopt, "C:\\B.TMP"}},
                    "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n"},
        WininitCase{"path_twice",
                    "",
                    {{"C:\\APP\\A.DLL", "C:\\APP\\A.$$A"}, {std::nullopt, "C:\\APP\\A.$$A"}},
                    "[Rename]\r\nC:\\APP\\A.DLL=C:\\APP\\A.$$A\r\nNUL=C:\\APP\\A.$$A\r\n"},
        WininitCase{"short_forms_and_other_sections",
                    "[Boot]\r\nx=1\r\n",
                    {{std::nullopt, "C:\\Program Files\\App\\old library.dll"}},
                    "[Boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\PROGRA~1\\APP\\OLDLIB~1.DLL\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

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
