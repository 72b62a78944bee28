#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/overwrite_rules.h"

namespace {

std::vector<std::string> Asked;
std::deque<int> Answers;

int ScriptedAsk(const char* text, unsigned style) {
  Asked.push_back(text);
  EXPECT_EQ(style, 0x124u);  // Yes/No, question icon, No as the default
  if (Answers.empty()) return 7;
  int a = Answers.front();
  Answers.pop_front();
  return a;
}

const int Yes = 6, No = 7;

FileVersionFacts Version(uint32_t ms, uint32_t ls) { return {true, ms, ls, false, 0}; }
FileVersionFacts Language(uint32_t language) { return {false, 0, 0, true, language}; }
FileVersionFacts Both(uint32_t ms, uint32_t ls, uint32_t language) { return {true, ms, ls, true, language}; }

struct VersionCase {
  const char* name;
  FileVersionFacts existing;
  uint32_t flags;
  uint32_t entryMS, entryLS, entryLanguage;
  const char* newerText;
  std::deque<int> answers;
  int expected;
  std::vector<std::string> questions;
};

class VersionRules : public EntryTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionRules, Decision) {
  const VersionCase& c = GetParam();
  Asked.clear();
  Answers = c.answers;
  EntryPlan plan;
  plan.flags = c.flags;
  plan.versionMS = c.entryMS;
  plan.versionLS = c.entryLS;
  plan.language = c.entryLanguage;
  auto table = PlanTable(plan);
  auto entry = View(table);
  EXPECT_EQ(DecideFileVersion(c.existing, entry, c.newerText, "Other language: %s", "C:\\App\\x.dll",
                              ScriptedAsk),
            c.expected);
  EXPECT_EQ(Asked, c.questions);
}

const uint32_t V2 = 0x00020000, V2_1 = 0x00020001, V1_9 = 0x00010009;
const char* kNewer = "Keep the newer %s?";
const std::string kNewerAsked = "Keep the newer C:\\App\\x.dll?";
const std::string kLanguageAsked = "Other language: C:\\App\\x.dll";

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRules,
    ::testing::Values(
        VersionCase{"equal_is_not_newer", Version(V2, 0), 2, V2, 0, 0, kNewer, {}, 1, {}},
        VersionCase{"newer_without_text_is_kept", Version(V2_1, 0), 2, V2, 0x00050000, 0, "", {}, 0, {}},
        VersionCase{"newer_refused", Version(V2_1, 0), 2, V2, 0x00050000, 0, kNewer, {No}, 0, {kNewerAsked}},
        VersionCase{"newer_accepted", Version(V2_1, 0), 2, V2, 0x00050000, 0, kNewer, {Yes}, 1, {kNewerAsked}},
        VersionCase{"older_is_replaced", Version(V1_9, 7), 2, V2, 0, 0, kNewer, {}, 1, {}},
        VersionCase{"low_half_decides_on_a_tie", Version(V2, 6), 2, V2, 5, 0, "", {}, 0, {}},
        VersionCase{"low_half_older", Version(V2, 4), 2, V2, 5, 0, "", {}, 1, {}},
        VersionCase{"unsigned_high_half", Version(0x80000000, 0), 2, 0x7FFFFFFF, 0, 0, "", {}, 0, {}},
        VersionCase{"no_fixed_information", {false, 0, 0, false, 0}, 2, V2, 0, 0, "", {}, 1, {}},
        VersionCase{"newer_ignored_without_the_version_flag", Version(V2_1, 0), 4, V2, 0, 0, "", {}, 1, {}},
        VersionCase{"no_translation", Version(V2, 0), 4, V2, 0, 0x407, "", {}, 1, {}},
        VersionCase{"same_language", Language(0x409), 4, 0, 0, 0x409, "", {}, 1, {}},
        VersionCase{"other_language_refused", Language(0x409), 4, 0, 0, 0x407, "", {No}, 0, {kLanguageAsked}},
        VersionCase{"other_language_accepted", Language(0x409), 4, 0, 0, 0x407, "", {Yes}, 1, {kLanguageAsked}},
        VersionCase{"language_word_against_the_whole_field", Language(0x409), 4, 0, 0, 0x10409, "", {Yes}, 1,
                    {kLanguageAsked}},
        VersionCase{"both_questions", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {Yes, No}, 0,
                    {kNewerAsked, kLanguageAsked}},
        VersionCase{"refused_newer_asks_no_more", Both(V2_1, 0, 0x409), 6, V2, 0, 0x407, kNewer, {No}, 0,
                    {kNewerAsked}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
  const char* name;
  bool exists = true;
  bool readOnly = false, locked = false, unreplaceable = false;
  std::string oldContent = "old content";
  std::string newContent = "new content!";
  uint16_t status;
  int result = 0;
  // What the destination holds afterwards, and whether the temporary file
  // is still there.
  bool destinationIsNew = true;
  bool tempRemains = false;
  bool restart = false;
};

class Replace : public EntryTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(Replace, OldFileSurvivesEveryFailure) {
  const ReplaceCase& c = GetParam();
  std::string destination = Path("data.dll"), temp = Path("data.$$A");
  if (c.exists) Write(destination, c.oldContent);
  Write(temp, c.newContent);
  if (c.readOnly) FakeFiles.readOnly.insert(destination);
  if (c.locked) FakeFiles.locked.insert(destination);
  if (c.unreplaceable) FakeFiles.unreplaceable.insert(destination);
  SetWorkPath(destination);
  EntryPlan plan;
  plan.size = (uint32_t)c.newContent.size();
  auto table = PlanTable(plan);
  auto entry = View(table);

  EXPECT_EQ(ReplaceDestinationFile(entry, temp.c_str()), c.result);
  EXPECT_EQ(ResultCode, c.result);
  EXPECT_EQ(wrenly::format::LoadU16(entry.record + 4), c.status);
  EXPECT_EQ(Read(destination), c.destinationIsNew ? c.newContent : c.oldContent);
  EXPECT_EQ(std::filesystem::exists(temp), c.tempRemains);
  EXPECT_EQ(FakeFiles.readOnly.count(destination) == 1, c.readOnly);
  EXPECT_EQ(RestartNeeded, c.restart);
  using P = std::pair<std::string, std::string>;
  std::vector<P> moves;
  if (c.restart) moves.push_back({temp, destination});
  EXPECT_EQ(FakeFiles.restartMoves, moves);
  if (c.result) EXPECT_EQ(std::string(ErrorArgument), destination);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Replace,
    ::testing::Values(
        ReplaceCase{.name = "created", .exists = false, .status = 25},
        ReplaceCase{.name = "replaced", .status = 23},
        ReplaceCase{.name = "read_only_stays_read_only", .readOnly = true, .status = 23},
        ReplaceCase{.name = "locked_identical", .locked = true, .oldContent = "same bytes", .newContent = "same bytes",
                    .status = 23},
        ReplaceCase{.name = "locked_different", .locked = true, .status = 500, .destinationIsNew = false,
                    .tempRemains = true, .restart = true},
        ReplaceCase{.name = "locked_same_size_other_bytes", .locked = true, .oldContent = "aaaa",
                    .newContent = "aaab", .status = 500, .destinationIsNew = false, .tempRemains = true,
                    .restart = true},
        ReplaceCase{.name = "locked_read_only", .readOnly = true, .locked = true, .status = 500,
                    .destinationIsNew = false, .tempRemains = true, .restart = true},
        ReplaceCase{.name = "replace_fails", .unreplaceable = true, .status = 0, .result = 17,
                    .destinationIsNew = false, .tempRemains = true},
        ReplaceCase{.name = "replace_fails_read_only", .readOnly = true, .unreplaceable = true, .status = 0,
                    .result = 17, .destinationIsNew = false, .tempRemains = true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryTest, LockedFileComparedInPiecesLargerThanOne) {
  std::string content(20000, 'c');
  std::string destination = Path("big.bin"), temp = Path("big.$$A");
  Write(destination, content);
  content[19999] = 'd';  // differs only in the third piece
  Write(temp, content);
  FakeFiles.locked.insert(destination);
  SetWorkPath(destination);
  EntryPlan plan;
  plan.size = 20000;
  auto table = PlanTable(plan);
  ResolveLockedFile(View(table), temp.c_str());
  EXPECT_EQ(wrenly::format::LoadU16(table.data() + 8), 500);
  EXPECT_TRUE(RestartNeeded);
}

struct DamagedCase {
  const char* name;
  bool acceptSwitch;
  std::deque<int> answers;
  int expected;
  size_t questions;
};

class DamagedData : public EntryTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedData, AcceptedOrTheRunStops) {
  const DamagedCase& c = GetParam();
  Options.acceptDamaged = c.acceptSwitch;
  Ui.answers = c.answers;
  SetWorkPath("C:\\App\\data.dll");
  EXPECT_EQ(ConfirmDamagedFile(), c.expected);
  EXPECT_EQ(Ui.messages.size(), c.questions);
  if (c.questions) EXPECT_EQ(Ui.messages[0].second, 0x24u);
  EXPECT_EQ(ResultCode, c.expected ? 0 : 21);
  EXPECT_STREQ(ErrorArgument, c.expected ? "" : "C:\\App\\data.dll");
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedData,
                         ::testing::Values(DamagedCase{"switch_accepts_silently", true, {No}, 1, 0},
                                           DamagedCase{"yes_accepts", false, {Yes}, 1, 1},
                                           DamagedCase{"no_stops", false, {No}, 0, 1},
                                           // The question is asked although the package has no text.
                                           DamagedCase{"closed_box_stops", false, {2}, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryTest, SharedCountStartsAtOneAndGrows) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|C:\\WINDOWS\\system32\\x.dll";
  SetWorkPath("C:\\WINDOWS\\system32\\x.dll");
  AddSharedFileReference();
  EXPECT_EQ(FakeFiles.dwords[key], 1u);
  AddSharedFileReference();
  EXPECT_EQ(FakeFiles.dwords[key], 2u);
  FakeFiles.dwords[key] = 41;
  AddSharedFileReference();
  EXPECT_EQ(FakeFiles.dwords[key], 42u);
}

}  // namespace
