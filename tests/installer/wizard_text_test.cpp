// The wizard's text: markup, the links it leaves, and paths shortened to fit.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "text/link_store.h"
#include "text/markup.h"
#include "ui/shorten_path.h"

namespace {

const char* const kNames[] = {"b", "i", "u", "s", "link", "font", "black", "white", "red", "green", "blue"};

// The text, then "|" and each run as tag start-end (/size when set) and each link as @start=target.
std::string Describe(const char* text, const Markup& m) {
  std::string out = std::string(text, m.textLength) + "|", gap;
  for (const MarkupRun& r : std::span(m.runs, m.runCount)) {
    out += gap + kNames[r.tag] + std::to_string(r.start) + "-" + std::to_string(r.end);
    if (r.sizePoints) out += "/" + std::to_string(r.sizePoints);
    gap = " ";
  }
  for (const MarkupLink& l : std::span(m.links, m.linkCount))
    out += " @" + std::to_string(l.start) + "=" + std::string(l.target, l.length);
  return out;
}

std::string Convert(const char* source, uint32_t size = 4096) {
  static Markup m;
  std::string buffer(size + 1, '#');
  ConvertMarkup(source, buffer.data(), size, &m);
  EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
  if (size) EXPECT_EQ(buffer[m.textLength], '\0');
  return Describe(buffer.data(), m);
}

TEST(ConvertMarkup, Table) {
  struct {
    const char *source, *expected;
    uint32_t size = 4096;
  } cases[] = {
      // Small buffers cut the text and keep the offsets inside.
      {"<b>Hello</b><i> world", "Hel|b0-3 i3-3", 4},
      {"<b>x</b><i>y", "|b0-0 i0-0", 0},
      {nullptr, "|"},
      {"x<", "x<|"},
      {"<StRiKe>x", "<StRiKe>x|"},
      {"<B>x</B>y", "xy|b0-1"},
      {"<<b>x</b>", "<x|b1-2"},
      {"<b>a<b>b</b>c</b>", "abc</b>|b0-2"},
      {"<u>a</i>b</u>", "a</i>b|u0-6"},
      {"<fontsize=14>Big</font>", "Big|font0-3/14"},
      {"<fontsize=1x2>a</font>", "a|font0-1/12"},
      {"<fontsize=99999999999999999999>x</font>", "x|font0-1/1638"},
      // A second size tag keeps the first start but restarts the number.
      {"<fontsize=10>a<fontsize=20>b</font>", "ab|font0-2/20"},
      {"<fontsize=9><b>x</b></font>", "x|b0-1/9 font0-1/9"},
      {"<link=>Home</link>", "Home|link0-4"},
      {"<LINK=#Dir#\\a>x</Link> and <link=b>y</link>", "x and y|link0-1 link6-7 @0=#Dir#\\a @6=b"},
      {"see <link=abc", "see |link4-4"},  // never closed: formatted to the end, but no target kept
      // Runs come in the order they were closed; open ones follow in table order.
      {"<red>R<blue>B</blue></red>", "RB|blue1-2 red0-2"},
      {"<blue>x<u>y<i>z", "xyz|i2-3 u1-3 blue0-3"},
      {"<black>k</black><white>w</white><green>g</green>", "kwg|black0-1 white1-2 green2-3"},
  };
  for (auto& c : cases) EXPECT_EQ(Convert(c.source, c.size), c.expected) << c.source << " in " << c.size;
}

TEST(ConvertMarkup, RoomIsLeftForEveryOpenTagAndLinksBeyondTheRoomAreDropped) {
  std::string source, tail;
  for (int i = 0; i < 300; ++i) source += "<link=t" + std::to_string(i) + ">x</link>";
  source += "<b><i><u><s><link=t><fontsize=8><black><white><red><green><blue>end";
  for (const char* name : kNames) tail += std::string(" ") + name + "300-303/8";
  std::string got = Convert(source.c_str());
  // 117 closed pairs, the 11 open tags, then the first 32 targets.
  EXPECT_NE(got.find("link116-117" + tail + " @0=t0 @1=t1"), std::string::npos) << got;
  EXPECT_TRUE(got.ends_with(" @30=t30 @31=t31")) << got;
}

TEST(RunFormat, Table) {
  const uint32_t cases[][6] = {// tag, size, then mask, effects, colour, height in twips
                               {kTagBold, 0, 0x1, 0x1, 0, 0},           {kTagLink, 0, 0x20, 0x20, 0, 0},
                               {kTagFontSize, 14, 1u << 31, 0, 0, 280}, {kTagRed, 0, 1u << 30, 0, 0xFF, 0},
                               {kTagBlue, 0, 1u << 30, 0, 0xFF0000, 0}, {kMarkupTagCount, 0, 0, 0, 0, 0}};
  for (auto& c : cases) {
    MarkupFormat f = RunFormat(MarkupRun{uint8_t(c[0]), 0, 1, c[1]});
    EXPECT_EQ((std::array{f.mask, f.effects, f.color, uint32_t(f.heightTwips)}), (std::array{c[2], c[3], c[4], c[5]}))
        << c[0];
  }
}

// Distinct fake window handles.
const void* Window(int n) { return reinterpret_cast<const void*>(uintptr_t(0x1000 + n * 16)); }

// The targets are spoilt once stored: the store must have copied them.
bool Store(const void* window, std::vector<std::pair<uint32_t, std::string>> links) {
  std::vector<MarkupLink> raw;
  for (auto& [start, target] : links) raw.push_back({start, target.data(), uint32_t(target.size())});
  bool stored = StoreLinkTargets(window, raw.data(), uint32_t(raw.size()));
  for (auto& link : links) link.second.assign(link.second.size(), '?');
  return stored;
}

std::string Find(const void* window, uint32_t offset) {
  return FindLinkTarget(window, offset) ? FindLinkTarget(window, offset) : "<none>";
}

TEST(LinkStore, TargetsPerWindowFiftyWindowsAtMost) {
  ClearLinkStore();
  ASSERT_TRUE(Store(Window(1), {{0, "first.htm"}, {12, std::string(600, 'a')}, {12, "shadowed"}}));
  ASSERT_TRUE(Store(Window(2), {{5, "old"}}) && Store(Window(2), {{0, "other"}}));
  for (uint32_t i = 3; i <= kMaxLinkWindows; ++i) ASSERT_TRUE(Store(Window(int(i)), {{i, "t"}})) << i;
  EXPECT_FALSE(Store(Window(99), {{0, "refused"}}) || Store(nullptr, {{0, "x"}}));
  EXPECT_TRUE(Store(Window(7), {{7, "again"}})) << "a window held may still be replaced";
  const std::tuple<const void*, uint32_t, std::string> cases[] = {
      {Window(1), 0, "first.htm"}, {Window(1), 12, std::string(kMaxLinkTargetLength, 'a')},
      {Window(1), 11, "<none>"},   {Window(2), 0, "other"},
      {Window(2), 5, "<none>"},    {Window(50), 50, "t"},
      {Window(7), 7, "again"},     {Window(99), 0, "<none>"}};
  for (auto& [window, offset, target] : cases) EXPECT_EQ(Find(window, offset), target) << window << offset;
  ClearLinkStore();
  EXPECT_EQ(Find(Window(1), 0), "<none>");
}

TEST(ShortenPath, Table) {
  const std::string kPath = "C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt";  // 44 characters
  const std::tuple<std::string, uint32_t, const char*> cases[] = {
      {kPath, 44, "C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt"},
      {kPath, 43, "C:\\Program Files\\Wrenly Demo\\...\\readme.txt"},
      // Folders are dropped whole and kept only while the result stays under the maximum.
      {kPath, 28, "C:\\Program Files\\...\\readme.txt"},
      {kPath, 27, "C:\\...\\readme.txt"},
      {"no_backslash_in_a_long_name.txt", 10, "no_backslash_in_a_long_name.txt"},
      {"C:\\Dir\\", 3, "C:\\...\\"},
      // First and last backslashes too close to leave room for "...".
      {"C:\\ab\\long_file_name.txt", 10, "C:\\ab\\long_file_name.txt"},
      {"C:\\abc\\long_file_name.txt", 10, "C:\\...\\long_file_name.txt"},
      {"\\\\server\\share\\folder\\sub\\file.txt", 20, "\\\\server\\...\\file.txt"},
  };
  for (auto& [path, maximum, shortened] : cases) {
    std::string buffer = path + '\0' + "guard";
    ShortenPath(buffer.data(), maximum);
    EXPECT_STREQ(buffer.c_str(), shortened) << path << " to " << maximum;
    EXPECT_EQ(buffer.substr(buffer.size() - 5), "guard");
  }
  ShortenPath(nullptr, 30);
}

}  // namespace
