#include <gtest/gtest.h>

#include <map>
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

// A TrueType file of `tables` table records; record `nameAt` (0-based, -1
// for none) is the name table, which follows the records. Fields go in as
// big-endian 16-bit halves.
std::string Font(uint16_t tables, int nameAt, const std::vector<NameRecord>& names) {
  std::string f, storage;
  for (uint32_t v : {1u, 0u, uint32_t{tables}, 0u, 0u, 0u}) Big16(f, v);
  for (int i = 0; i < tables; ++i) {
    f += i == nameAt ? "name" : "glyf";
    for (uint32_t v : {0u, 0u, 0u, i == nameAt ? 12 + 16u * tables : 0u, 0u, 0u}) Big16(f, v);
  }
  uint32_t count = (uint32_t)names.size();
  for (uint32_t v : {0u, count, 6 + 12 * count}) Big16(f, v);
  for (const NameRecord& n : names) {
    for (uint32_t v : {uint32_t{n.platform}, 0u, 0u, uint32_t{n.nameId}, (uint32_t)n.text.size(),
                       (uint32_t)(storage.size() + n.offsetShift)})
      Big16(f, v);
    storage += n.text;
  }
  return f + storage;
}

std::string Utf16(const std::string& s) {
  std::string out;
  for (char c : s) Big16(out, (uint8_t)c);
  return out;
}

TEST_F(EntryTest, FullNameFromTheMacintoshRecord) {
  struct {
    const char* what;
    std::string file;  // "" for no file
    std::string expected;
  } cases[] = {
      {"mac full name", Font(3, 1, {{3, 4, Utf16("Demo Sans")}, {1, 4, "Demo Sans"}}), "Demo Sans"},
      {"windows records only", Font(2, 0, {{3, 1, Utf16("Demo")}, {3, 4, Utf16("Demo Sans")}}), ""},
      {"mac family only", Font(1, 0, {{1, 1, "Demo"}}), ""},
      {"last match wins", Font(1, 0, {{1, 4, "First"}, {1, 4, "Second"}}), "Second"},
      {"name is the 40th table", Font(40, 39, {{1, 4, "Forty"}}), "Forty"},
      {"name is the 41st table", Font(41, 40, {{1, 4, "Forty-one"}}), ""},
      {"overlong name is cut", Font(1, 0, {{1, 4, std::string(700, 'N')}}), std::string(519, 'N')},
      {"string beyond the file", Font(1, 0, {{1, 4, "Gone", 100}}), ""},
      {"no name table", Font(4, -1, {}), ""},
      {"not a font", "plain text, nothing more", ""},
      {"no file", "", ""},
  };
  for (auto& c : cases) {
    std::filesystem::remove(Path("font.ttf"));
    if (!c.file.empty()) Write("font.ttf", c.file);
    char name[kFontNameSize];
    std::memset(name, 'x', sizeof name);
    ReadFontName(Path("font.ttf").c_str(), name);
    EXPECT_EQ(std::string(name), c.expected) << c.what;
  }
}

TEST_F(EntryTest, FontValueNamedByTheFullNameHoldsTheFileName) {
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts|";
  struct {
    bool nt;
    std::string file;
    std::string value;  // "" for none
  } cases[] = {
      {true, Font(1, 0, {{1, 4, "Demo Sans"}}), nt + "Demo Sans (TrueType)"},
      {false, Font(1, 0, {{1, 4, "Demo Sans"}}), "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts|Demo Sans (TrueType)"},
      {true, Font(1, 0, {{3, 4, Utf16("Demo Sans")}}), ""},
      {true, Font(1, 0, {{1, 4, std::string(600, 'L')}}), nt + std::string(508, 'L') + " (TrueType)"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.value);
    Fresh();
    std::string path = Path("Fonts\\demo.ttf");  // a Windows path's last component
    FakeFiles.ntFamily = c.nt;
    Write("Fonts\\demo.ttf", c.file);
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
}

}  // namespace
