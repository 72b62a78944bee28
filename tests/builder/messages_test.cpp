#include <gtest/gtest.h>

#include "builder/messages.h"

namespace wrenly::builder {
namespace {

struct PlaceholderCase {
  const char* text;
  Placeholders rule;
  bool ok;
};

class PlaceholderTest : public testing::TestWithParam<PlaceholderCase> {};

TEST_P(PlaceholderTest, Checks) {
  const auto& c = GetParam();
  EXPECT_EQ(CheckPlaceholders(c.text, c.rule).empty(), c.ok) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PlaceholderTest,
    testing::Values(PlaceholderCase{"100% sure", Placeholders::kNone, true},
                    PlaceholderCase{"%s %d %x", Placeholders::kNone, true},
                    PlaceholderCase{"Folder: %s", Placeholders::kOneString, true},
                    PlaceholderCase{"Folder: %d", Placeholders::kOneString, false},
                    PlaceholderCase{"%s and %s", Placeholders::kOneString, false},
                    PlaceholderCase{"no placeholder", Placeholders::kOneString, false},
                    PlaceholderCase{"%s at 100%%", Placeholders::kOneString, true},
                    PlaceholderCase{"%s at 100%", Placeholders::kOneString, false},
                    PlaceholderCase{"%ls", Placeholders::kOneString, false},
                    PlaceholderCase{"%-20s", Placeholders::kOneString, true},
                    PlaceholderCase{"%d MB", Placeholders::kOneNumber, true},
                    PlaceholderCase{"%lu MB", Placeholders::kOneNumber, true},
                    PlaceholderCase{"%s MB", Placeholders::kOneNumber, false},
                    PlaceholderCase{"%d of %d", Placeholders::kOneNumber, false},
                    PlaceholderCase{"disk %", Placeholders::kOneNumber, false},
                    // Result texts are formats only when they hold %s.
                    PlaceholderCase{"failed at 50%", Placeholders::kMaybeString, true},
                    PlaceholderCase{"%s failed", Placeholders::kMaybeString, true},
                    PlaceholderCase{"%s failed %d times", Placeholders::kMaybeString, false},
                    PlaceholderCase{"%s failed at 5%", Placeholders::kMaybeString, false}));

TEST(DefaultMessages, EveryUsedTextIsPresentAndPlaceholderCorrect) {
  MessageTable table = DefaultMessages("Demo");
  for (auto [list, item] : UsedMessages()) {
    ASSERT_LT(static_cast<size_t>(item), table[list].size()) << list << "/" << item << " is missing";
    EXPECT_EQ(CheckPlaceholders(table[list][item], PlaceholdersOf(list, item)), "") << list << "/" << item;
  }
}

TEST(DefaultMessages, TextsThatAreNeededAreNotEmpty) {
  // An empty text silently disables its message box or question.
  MessageTable table = DefaultMessages("Demo");
  for (auto [list, item] : std::vector<std::pair<int, int>>{
           {7, 0}, {7, 5}, {7, 11}, {7, 14}, {7, 15}, {7, 28}, {7, 31}, {7, 32}, {8, 0}, {8, 1}, {8, 2}, {8, 3}})
    EXPECT_FALSE(table[list][item].empty()) << list << "/" << item;
  // A text at 6/9 would ask for a restart after every installation.
  EXPECT_TRUE(table[6][9].empty());
}

TEST(DefaultMessages, ProductNameIsFilledIn) {
  MessageTable table = DefaultMessages("Acme Tool");
  EXPECT_EQ(table[7][0], "Acme Tool Setup");
  for (const auto& list : table)
    for (const auto& text : list) EXPECT_EQ(text.find("{product}"), std::string::npos) << text;
}

struct KeyCase {
  const char* key;
  int list, item;  // -1: not a key
};

class MessageKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(MessageKeyTest, Parses) {
  const auto& c = GetParam();
  auto id = ParseMessageKey(c.key);
  if (c.list < 0) {
    EXPECT_FALSE(id) << c.key;
  } else {
    ASSERT_TRUE(id) << c.key;
    EXPECT_EQ(id->first, c.list);
    EXPECT_EQ(id->second, c.item);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, MessageKeyTest,
                         testing::Values(KeyCase{"7/31", 7, 31}, KeyCase{"0/0", 0, 0}, KeyCase{"9/12", 9, 12},
                                         KeyCase{"10/0", -1, 0}, KeyCase{"7/", -1, 0}, KeyCase{"/3", -1, 0},
                                         KeyCase{"7/x", -1, 0}, KeyCase{"-1/2", -1, 0},
                                         KeyCase{"caption", 7, 0}, KeyCase{"incomplete", 7, 31},
                                         KeyCase{"welcome.title", 0, 0}, KeyCase{"finish.text4", 6, 5},
                                         KeyCase{"ready.folder", 4, 3}, KeyCase{"welcome.nothing", -1, 0},
                                         KeyCase{"nonsense", -1, 0}));

}  // namespace
}  // namespace wrenly::builder
