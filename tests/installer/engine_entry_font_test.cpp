#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_entry_fixture.h"
#include "install/fonts.h"

namespace {

struct NameRecord {
  uint16_t platform, nameId;
  std::string text;
  uint16_t offsetShift = 0;  // moves the record's string offset past its text
};

void Big16(std::string& s, uint32_t v) {
  s += (char)(v >> 8);
  s += (char)v;
}
void Big32(std::string& s, uint32_t v) {
  Big16(s, v >> 16);
  Big16(s, v & 0xFFFF);
}

// A TrueType file of `tables` table records; record `nameAt` (0-based, -1
// for none) is the name table, which follows the records.
std::string Font(uint16_t tables, int nameAt, const std::vector<NameRecord>& names) {
  std::string f;
  Big32(f, 0x00010000);
  Big16(f, tables);
  Big16(f, 0);
  Big16(f, 0);
  Big16(f, 0);
  uint32_t nameOffset = 12 + 16u * tables;
  for (uint16_t i = 0; i < tables; ++i) {
    f += (int)i == nameAt ? "name" : "glyf";
    Big32(f, 0);
    Big32(f, (int)i == nameAt ? nameOffset : 0);
    Big32(f, 0);
  }
  std::string storage;
  Big16(f, 0);
  Big16(f, (uint16_t)names.size());
  Big16(f, (uint16_t)(6 + 12 * names.size()));
  for (const NameRecord& n : names) {
    Big16(f, n.platform);
    Big16(f, 0);
    Big16(f, 0);
    Big16(f, n.nameId);
    Big16(f, (uint16_t)n.text.size());
    Big16(f, (uint16_t)(storage.size() + n.offsetShift));
    storage += n.text;
  }
  return f + storage;
}

std::string Utf16(const std::string& s) {
  std::string out;
  for (char c : s) Big16(out, (uint8_t)c);
  return out;
}

struct FontCase {
  const char* name;
  std::string file;
  std::string expected;
};

class FontName : public EntryTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontName, FullNameFromTheMacintoshRecord) {
  std::string path = Path("font.ttf");
  Write(path, GetParam().file);
  char name[kFontNameSize];
  std::memset(name, 'x', sizeof name);
  ReadFontName(path.c_str(), name);
  EXPECT_EQ(std::string(name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontName,
    ::testing::Values(
        FontCase{"mac_full_name", Font(3, 1, {{3, 4, Utf16("Demo Sans")}, {1, 4, "Demo Sans"}}), "Demo Sans"},
        FontCase{"windows_records_only", Font(2, 0, {{3, 1, Utf16("Demo")}, {3, 4, Utf16("Demo Sans")}}), ""},
        FontCase{"mac_family_only", Font(1, 0, {{1, 1, "Demo"}}), ""},
        FontCase{"last_match_wins", Font(1, 0, {{1, 4, "First"}, {1, 4, "Second"}}), "Second"},
        FontCase{"name_is_40th_table", Font(40, 39, {{1, 4, "Forty"}}), "Forty"},
        FontCase{"name_is_41st_table", Font(41, 40, {{1, 4, "Forty-one"}}), ""},
        FontCase{"overlong_name_is_cut", Font(1, 0, {{1, 4, std::string(700, 'N')}}), std::string(519, 'N')},
        FontCase{"string_beyond_the_file", Font(1, 0, {{1, 4, "Gone", 100}}), ""},
        FontCase{"no_name_table", Font(4, -1, {}), ""},
        FontCase{"not_a_font", "plain text, nothing more", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryTest, MissingFontFileHasNoName) {
  char name[kFontNameSize] = "stale";
  ReadFontName(Path("absent.ttf").c_str(), name);
  EXPECT_STREQ(name, "");
}

struct RegisterCase {
  const char* name;
  bool nt;
  std::string file;
  std::string value;  // "" for none
};

class FontRegistration : public EntryTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(FontRegistration, ValueNamedByTheFullNameHoldsTheFileName) {
  const RegisterCase& c = GetParam();
  FakeFiles.ntFamily = c.nt;
  std::string path = Path("Fonts\\demo.ttf");  // a Windows path's last component
  Write(path, c.file);
  InstallFont(path.c_str());
  EXPECT_EQ(FakeFiles.fontsAdded, std::vector<std::string>{path});
  EXPECT_EQ(FakeFiles.fontBroadcasts, 1);
  std::map<std::string, std::string> expected;
  if (!c.value.empty()) expected[c.value] = "demo.ttf";
  EXPECT_EQ(FakeFiles.strings, expected);

  RemoveFont(path.c_str());
  EXPECT_EQ(FakeFiles.fontsRemoved, std::vector<std::string>{path});
  EXPECT_TRUE(FakeFiles.strings.empty());
  EXPECT_EQ(FakeFiles.fontBroadcasts, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontRegistration,
    ::testing::Values(
        RegisterCase{"nt", true, Font(1, 0, {{1, 4, "Demo Sans"}}),
                     "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|Demo Sans (TrueType)"},
        RegisterCase{"nine_x", false, Font(1, 0, {{1, 4, "Demo Sans"}}),
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts|Demo Sans (TrueType)"},
        RegisterCase{"unnamed", true, Font(1, 0, {{3, 4, Utf16("Demo Sans")}}), ""},
        RegisterCase{"longest_name_keeps_the_suffix", true, Font(1, 0, {{1, 4, std::string(600, 'L')}}),
                     "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|" + std::string(508, 'L') +
                         " (TrueType)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
