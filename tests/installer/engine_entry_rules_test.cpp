#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/overwrite_rules.h"

namespace {

std::vector<std::string> Asked;
std::deque<int> Answers;
const int Yes = 6, No = 7;

int ScriptedAsk(const char* text, unsigned style) {
  Asked.push_back(text);
  EXPECT_EQ(style, 0x124u);  // Yes/No, question icon, No as the default
  if (Answers.empty()) return No;
  int a = Answers.front();
  Answers.pop_front();
  return a;
}

FileVersionFacts Version(uint32_t ms, uint32_t ls) { return {true, ms, ls, false, 0}; }
FileVersionFacts Language(uint32_t language) { return {false, 0, 0, true, language}; }
FileVersionFacts Both(uint32_t ms, uint32_t ls, uint32_t language) { return {true, ms, ls, true, language}; }

TEST_F(EntryTest, VersionRules) {
  const uint32_t V2 = 0x00020000, V2_1 = 0x00020001, V1_9 = 0x00010009;
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
      {"low half older", Version(V2, 4), 2, V2, 5, 0, "", {}, 1, {}},
      {"unsigned high half", Version(0x80000000, 0), 2, 0x7FFFFFFF, 0, 0, "", {}, 0, {}},
      {"no fixed information", {false, 0, 0, false, 0}, 2, V2, 0, 0, "", {}, 1, {}},
      {"newer ignored without the version flag", Version(V2_1, 0), 4, V2, 0, 0, "", {}, 1, {}},
      {"no translation", Version(V2, 0), 4, V2, 0, 0x407, "", {}, 1, {}},
      {"same language", Language(0x409), 4, 0, 0, 0x409, "", {}, 1, {}},
      {"other language refused", Language(0x409), 4, 0, 0, 0x407, "", {No}, 0, {language}},
      {"other language accepted", Language(0x409), 4, 0, 0, 0x407, "", {Yes}, 1, {language}},
      {"language word against the whole field", Language(0x409), 4, 0, 0, 0x10409, "", {Yes}, 1, {language}},
      {"both questions", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {Yes, No}, 0, {newer, language}},
      {"refused newer asks no more", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {No}, 0, {newer}},
  };
  for (auto& c : cases) {
    Asked.clear();
    Answers = c.answers;
    EntryPlan plan;
    plan.flags = c.flags;
    plan.versionMS = c.entryMS;
    plan.versionLS = c.entryLS;
    plan.language = c.entryLanguage;
    auto table = PlanTable(plan);
    EXPECT_EQ(DecideFileVersion(c.existing, View(table), c.newerText, "Other language: %s", "C:\\App\\x.dll",
                                ScriptedAsk),
              c.expected)
        << c.what;
    EXPECT_EQ(Asked, c.questions) << c.what;
  }
}

// The rows the whole entry step cannot reach: read-only and locked
// destinations and a refused replacement.
TEST_F(EntryTest, ReplaceKeepsTheOldFileOnEveryFailure) {
  struct {
    const char* what;
    bool readOnly, locked, unreplaceable;
    std::string oldContent;
    uint16_t status;
    int result;
    bool destinationIsNew, tempRemains, restart;
  } cases[] = {
      {"read-only stays read-only", true, false, false, "old", 23, 0, true, false, false},
      {"locked, identical", false, true, false, "new content!", 23, 0, true, false, false},
      {"locked, other first byte", false, true, false, "New content!", 500, 0, false, true, true},
      {"locked and read-only", true, true, false, "old", 500, 0, false, true, true},
      {"replace fails", false, false, true, "old", 0, 17, false, true, false},
      {"replace fails, read-only", true, false, true, "old", 0, 17, false, true, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    std::string destination = Path("data.dll"), temp = Path("data.$$A");
    Write("data.dll", c.oldContent);
    Write("data.$$A", "new content!");
    if (c.readOnly) FakeFiles.readOnly.insert(destination);
    if (c.locked) FakeFiles.locked.insert(destination);
    if (c.unreplaceable) FakeFiles.unreplaceable.insert(destination);
    SetWorkPath(destination);
    EntryPlan plan;
    plan.size = 12;
    auto table = PlanTable(plan);
    auto entry = View(table);
    EXPECT_EQ(ReplaceDestinationFile(entry, temp.c_str()), c.result);
    EXPECT_EQ(ResultCode, c.result);
    EXPECT_EQ(wf::LoadU16(entry.record + 4), c.status);
    EXPECT_EQ(ReadAll(destination), c.destinationIsNew ? "new content!" : c.oldContent);
    EXPECT_EQ(std::filesystem::exists(temp), c.tempRemains);
    EXPECT_EQ(FakeFiles.readOnly.count(destination) == 1, c.readOnly);
    EXPECT_EQ(RestartNeeded, c.restart);
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(FakeFiles.restartMoves, (c.restart ? std::vector<P>{{temp, destination}} : std::vector<P>()));
    if (c.result) EXPECT_EQ(std::string(ErrorArgument), destination);
  }
}

TEST_F(EntryTest, LockedFileComparedInPiecesLargerThanOne) {
  std::string content(20000, 'c');
  Write("big.bin", content);
  content[19999] = 'd';  // differs only in the third piece
  Write("big.$$A", content);
  FakeFiles.locked.insert(Path("big.bin"));
  SetWorkPath(Path("big.bin"));
  EntryPlan plan;
  plan.size = 20000;
  auto table = PlanTable(plan);
  ResolveLockedFile(View(table), Path("big.$$A").c_str());
  EXPECT_EQ(wf::LoadU16(table.data() + 8), 500);
  EXPECT_TRUE(RestartNeeded);
}

TEST_F(EntryTest, SharedCountStartsAtOneAndGrows) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|C:\\WINDOWS\\system32\\x.dll";
  SetWorkPath("C:\\WINDOWS\\system32\\x.dll");
  AddSharedFileReference();
  EXPECT_EQ(FakeFiles.dwords[key], 1u);
  FakeFiles.dwords[key] = 41;
  AddSharedFileReference();
  EXPECT_EQ(FakeFiles.dwords[key], 42u);
}

}  // namespace
