// The overwrite rules: versions and languages, replacing and locked files,
// and the moves left for the restart.
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
  struct {
    const char* what;
    FileVersionFacts existing;
    uint32_t flags, entryMS, entryLS, entryLanguage;
    const char* newerText;
    std::deque<int> answers;
    int expected;
    std::vector<std::string> questions;
  } cases[] = {
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
    EXPECT_EQ(asked, c.questions);
  }
}

// The rows the whole entry step cannot reach: read-only and locked
// destinations, one compared past its first piece, and a refused replacement.
TEST_F(EntryTest, ReplaceKeepsTheOldFileOnEveryFailure) {
  const std::string fresh(20000, 'n');
  std::string firstByte = fresh, lastByte = fresh;
  firstByte.front() = lastByte.back() = 'o';
  struct {
    const char* what;
    bool readOnly, locked, unreplaceable;
    std::string oldContent;
    uint16_t status;
    int result;
    bool destinationIsNew, tempRemains, restart;
  } cases[] = {
      {"read-only stays read-only", true, false, false, "old", 23, 0, true, false, false},
      {"locked, identical", false, true, false, fresh, 23, 0, true, false, false},
      {"locked, other first byte", false, true, false, firstByte, 500, 0, false, true, true},
      {"locked, other last byte", false, true, false, lastByte, 500, 0, false, true, true},
      {"locked and read-only", true, true, false, "old", 500, 0, false, true, true},
      {"replace fails", false, false, true, "old", 0, 17, false, true, false},
      {"replace fails, read-only", true, false, true, "old", 0, 17, false, true, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    std::string destination = Path("data.dll"), temp = Path("data.$$A");
    Write("data.dll", c.oldContent);
    Write("data.$$A", fresh);
    if (c.readOnly) FakeFiles.readOnly.insert(destination);
    if (c.locked) FakeFiles.locked.insert(destination);
    if (c.unreplaceable) FakeFiles.unreplaceable.insert(destination);
    SetWorkPath(destination);
    EntryPlan plan;
    plan.size = static_cast<uint32_t>(fresh.size());
    auto table = PlanTable(plan);
    auto entry = View(table);
    EXPECT_EQ(ReplaceDestinationFile(entry, temp.c_str()), c.result);
    EXPECT_EQ(ResultCode, c.result);
    EXPECT_EQ(wf::LoadU16(entry.record + 4), c.status);
    EXPECT_EQ(ReadAll(destination), c.destinationIsNew ? fresh : c.oldContent);
    EXPECT_EQ(std::filesystem::exists(temp), c.tempRemains);
    EXPECT_EQ(FakeFiles.readOnly.count(destination) == 1, c.readOnly);
    EXPECT_EQ(RestartNeeded, c.restart);
    EXPECT_EQ(FakeFiles.restartMoves, (c.restart ? std::vector<P>{{temp, destination}} : std::vector<P>()));
    if (c.result) EXPECT_EQ(std::string(ErrorArgument), destination);
  }
}

TEST(DeletionLine, OnlyThePlaceholderLineOfThatPathBecomesNul) {
  struct {
    const char *text, *path, *expected;  // the same text when nothing changes
  } cases[] = {
      // The path also appears as the value of a rename: only the deletion changes.
      {"[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nxyz=C:\\TMP\\A.$$A\r\n", "C:\\TMP\\A.$$A",
       "[Rename]\r\nC:\\A.DLL=C:\\TMP\\A.$$A\r\nNUL=C:\\TMP\\A.$$A\r\n"},
      // A longer path that starts with this one is another file.
      {"[Rename]\r\nxyz=C:\\TMP\\AB\r\n", "C:\\TMP\\A", "[Rename]\r\nxyz=C:\\TMP\\AB\r\n"},
      {"[Rename]\r\naxyz=C:\\X\r\n", "C:\\X", "[Rename]\r\naxyz=C:\\X\r\n"},
      {"[Rename]\r\nxyz=C:\\X", "C:\\X", "[Rename]\r\nNUL=C:\\X"},
      {"[rename]\nXYZ=c:\\x\n", "C:\\X", "[rename]\nNUL=c:\\x\n"},
      {"xyz=C:\\", "C:\\X", "xyz=C:\\"},
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
                          {"C:\\Program Files\\a.$$A", "C:\\PROGRA~1\\A.$$A"}};
  MoveFileAtRestart("C:\\Program Files\\a.dll", "C:\\Program Files\\a.$$A");
  MoveFileAtRestart(nullptr, "C:\\A.TMP");
  MoveFileAtRestart(nullptr, "C:\\B.TMP");
  // Every deletion is written under the one placeholder key, then renamed.
  EXPECT_EQ(ReadAll(Path("win\\WININIT.INI")),
            "[Rename]\r\nC:\\PROGRA~1\\A.DLL=C:\\PROGRA~1\\A.$$A\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n[Rename]\r\nNUL=C:\\B.TMP\r\n");
  FakeFiles.ntFamily = true;
  MoveFileAtRestart("C:\\APP\\A.DLL", "C:\\APP\\A.$$A");
  MoveFileAtRestart(nullptr, "C:\\APP\\B.$$A");
  EXPECT_EQ(FakeFiles.restartMoves, (std::vector<P>{{"C:\\APP\\A.$$A", "C:\\APP\\A.DLL"}, {"C:\\APP\\B.$$A", ""}}));
}

}  // namespace
