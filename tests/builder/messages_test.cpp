#include "builder/messages.h"

#include <gtest/gtest.h>

namespace wrenly::builder {
namespace {
using enum Placeholders;

TEST(Placeholders, EachRuleAcceptsExactlyWhatTheInstallerPasses) {
  const struct {
    Placeholders rule;
    std::vector<const char*> accepted, refused;
  } cases[] = {{kNone, {"100% sure", "%s %d %x"}, {}},
               {kOneString,
                {"Folder: %s", "%s at 100%%", "%-20s"},
                {"Folder: %d", "%s and %s", "no placeholder", "%s at 100%", "%ls"}},
               {kOneNumber, {"%d MB", "%lu MB"}, {"%s MB", "%d of %d", "disk %"}},
               // Result texts are formats only when they hold %s.
               {kMaybeString, {"failed at 50%", "%s failed"}, {"%s failed %d times", "%s failed at 5%"}}};
  for (const auto& c : cases) {
    for (const char* text : c.accepted) EXPECT_EQ(CheckPlaceholders(text, c.rule), "") << text;
    for (const char* text : c.refused) EXPECT_NE(CheckPlaceholders(text, c.rule), "") << text;
  }
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
  const std::tuple<const char*, int, int> keys[] = {
      {"7/31", 7, 31}, {"0/0", 0, 0}, {"caption", 7, 0}, {"welcome.title", 0, 0}, {"finish.text4", 6, 5}};
  for (auto [key, list, item] : keys) EXPECT_EQ(ParseMessageKey(key), std::optional(std::pair(list, item))) << key;
  for (const char* key : {"10/0", "7/", "/3", "7/x", "-1/2", "welcome.nothing", "nonsense"})
    EXPECT_EQ(ParseMessageKey(key), std::nullopt) << key;
}

}  // namespace
}  // namespace wrenly::builder
