#include "builder/messages.h"

#include <gtest/gtest.h>

namespace wrenly::builder {
namespace {
using enum Placeholders;

TEST(Placeholders, EachRuleAcceptsExactlyWhatTheInstallerPasses) {
  struct {
    const char* text;
    Placeholders rule;
    bool ok;
  } cases[] = {{"100% sure", kNone, true},
               {"%s %d %x", kNone, true},
               {"Folder: %s", kOneString, true},
               {"%s at 100%%", kOneString, true},
               {"%-20s", kOneString, true},
               {"Folder: %d", kOneString, false},
               {"%s and %s", kOneString, false},
               {"no placeholder", kOneString, false},
               {"%s at 100%", kOneString, false},
               {"%ls", kOneString, false},
               {"%d MB", kOneNumber, true},
               {"%lu MB", kOneNumber, true},
               {"%s MB", kOneNumber, false},
               {"%d of %d", kOneNumber, false},
               {"disk %", kOneNumber, false},
               // Result texts are formats only when they hold %s.
               {"failed at 50%", kMaybeString, true},
               {"%s failed", kMaybeString, true},
               {"%s failed %d times", kMaybeString, false},
               {"%s failed at 5%", kMaybeString, false}};
  for (const auto& c : cases) EXPECT_EQ(CheckPlaceholders(c.text, c.rule).empty(), c.ok) << c.text;
}

TEST(DefaultMessages, AreCompleteFilledInAndPlaceholderCorrect) {
  MessageTable table = DefaultMessages("Acme Tool");
  for (auto [list, item] : UsedMessages()) {
    ASSERT_LT(static_cast<size_t>(item), table[list].size()) << list << "/" << item << " is missing";
    EXPECT_EQ(CheckPlaceholders(table[list][item], PlaceholdersOf(list, item)), "") << list << "/" << item;
  }
  // An empty text silently disables its message box or question.
  for (auto [list, item] :
       {std::pair{7, 0}, {7, 5}, {7, 11}, {7, 14}, {7, 15}, {7, 28}, {7, 31}, {7, 32}, {8, 0}, {8, 1}, {8, 2}, {8, 3}})
    EXPECT_FALSE(table[list][item].empty()) << list << "/" << item;
  // A text at 6/9 would ask for a restart after every installation.
  EXPECT_TRUE(table[6][9].empty());
  for (const auto& list : table)
    for (const auto& text : list) EXPECT_EQ(text.find("{product}"), std::string::npos) << text;
}

TEST(MessageKeys, NumbersAndNamesParseOthersDoNot) {
  struct {
    const char* key;
    int list, item;
  } cases[] = {// list -1: not a key
               {"7/31", 7, 31},
               {"0/0", 0, 0},
               {"10/0", -1},
               {"7/", -1},
               {"/3", -1},
               {"7/x", -1},
               {"-1/2", -1},
               {"caption", 7, 0},
               {"welcome.title", 0, 0},
               {"finish.text4", 6, 5},
               {"welcome.nothing", -1},
               {"nonsense", -1}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseMessageKey(c.key), c.list < 0 ? std::nullopt : std::optional(std::pair(c.list, c.item))) << c.key;
}

}  // namespace
}  // namespace wrenly::builder
