// The version and language rules, and the moves left for the restart.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/overwrite_rules.h"
#include "startup/restart_ops.h"

namespace {

using P = std::pair<std::string, std::string>;

FileVersionFacts Version(uint32_t ms, uint32_t ls) { return {true, ms, ls, false, 0}; }
FileVersionFacts Language(uint32_t language) { return {false, 0, 0, true, language}; }
FileVersionFacts Both(uint32_t ms, uint32_t ls, uint32_t language) { return {true, ms, ls, true, language}; }

TEST_F(EntryTest, VersionRules) {
  const uint32_t V2 = 0x00020000, V2_1 = 0x00020001, V1_9 = 0x00010009, Yes = kAnswerYes, No = kAnswerNo;
  const char* kNewer = "Keep the newer %s?";
  const std::string newer = "Keep the newer C:\\App\\x.dll?", language = "Other language: C:\\App\\x.dll";
  struct { const char* what; FileVersionFacts existing; uint32_t flags, entryMS, entryLS, entryLanguage;
           const char* newerText; std::deque<int> answers; int expected; std::vector<std::string> asked; } cases[] = {
      {"equal is not newer", Version(V2, 0), 2, V2, 0, 0, kNewer, {}, 1, {}},
      {"newer without text is kept", Version(V2_1, 0), 2, V2, 0x00050000, 0, "", {}, 0, {}},
      {"newer refused", Version(V2_1, 0), 2, V2, 0x00050000, 0, kNewer, {No}, 0, {newer}},
      {"newer accepted", Version(V2_1, 0), 2, V2, 0x00050000, 0, kNewer, {Yes}, 1, {newer}},
      {"older is replaced", Version(V1_9, 7), 2, V2, 0, 0, kNewer, {}, 1, {}},
      {"low half decides on a tie", Version(V2, 6), 2, V2, 5, 0, "", {}, 0, {}},
      {"unsigned high half", Version(0x80000000, 0), 2, 0x7FFFFFFF, 0, 0, "", {}, 0, {}},
      {"no fixed information", {false, 0, 0, false, 0}, 2, V2, 0, 0, "", {}, 1, {}},
      {"newer ignored without the version flag", Version(V2_1, 0), 4, V2, 0, 0, "", {}, 1, {}},
      {"same language", Language(0x409), 4, 0, 0, 0x409, "", {}, 1, {}},
      {"other language refused", Language(0x409), 4, 0, 0, 0x407, "", {No}, 0, {language}},
      {"the existing language word", Language(0x10409), 4, 0, 0, 0x409, "", {}, 1, {}},
      {"against the whole field", Language(0x409), 4, 0, 0, 0x10409, "", {Yes}, 1, {language}},
      {"both questions", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {Yes, No}, 0, {newer, language}},
      {"refused newer asks no more", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {No}, 0, {newer}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Ui = FakeUi{};
    Ui.answers = c.answers;
    EntryPlan plan;
    plan.flags = c.flags;
    plan.versionMS = c.entryMS;
    plan.versionLS = c.entryLS;
    plan.language = c.entryLanguage;
    auto table = PlanTable(plan);
    EXPECT_EQ(DecideFileVersion(c.existing, View(table), c.newerText, "Other language: %s", "C:\\App\\x.dll",
                                ShowMessage),
              c.expected);
    std::vector<std::string> asked;
    for (auto& [text, style] : Ui.messages) {
      asked.push_back(text);
      EXPECT_EQ(style, 0x124u);  // Yes/No, question icon, No as the default
    }
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(DeletionLine, OnlyThePlaceholderLineOfThatPathBecomesNul) {
  struct { const char *text, *path, *expected; } cases[] = {  // the same text when nothing changes
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
  FakeFiles.ntFamily = false;
  Fake.windowsFolder = Path("win\\");
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
  MoveFileAtRestart("C:\\APP\\A.DLL", "C:\\APP\\A.$$A");
  MoveFileAtRestart(nullptr, "C:\\APP\\B.$$A");
  EXPECT_EQ(FakeFiles.restartMoves, (std::vector<P>{{"C:\\APP\\A.$$A", "C:\\APP\\A.DLL"}, {"C:\\APP\\B.$$A", ""}}));
}

}  // namespace
