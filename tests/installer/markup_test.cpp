#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/link_store.h"
#include "text/markup.h"

namespace {

struct Span {
  int tag;
  uint32_t start, end, size;
  bool operator==(const Span&) const = default;
};

struct Link {
  uint32_t start;
  std::string target;
  bool operator==(const Link&) const = default;
};

void PrintTo(const Span& r, std::ostream* os) {
  *os << "{tag " << r.tag << ", " << r.start << ".." << r.end << ", size " << r.size << "}";
}
void PrintTo(const Link& l, std::ostream* os) { *os << "{" << l.start << ", \"" << l.target << "\"}"; }

struct Converted {
  std::string text;
  std::vector<Span> runs;
  std::vector<Link> links;
};

Converted Convert(const char* source, uint32_t size = 1024) {
  static Markup m;
  std::vector<char> buffer(size + 1, '#');
  ConvertMarkup(source, buffer.data(), size, &m);
  Converted c;
  c.text.assign(buffer.data(), m.textLength);
  EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
  if (size) {
    EXPECT_EQ(buffer[m.textLength], '\0');
  }
  for (uint32_t i = 0; i < m.runCount; ++i)
    c.runs.push_back({m.runs[i].tag, m.runs[i].start, m.runs[i].end, m.runs[i].sizePoints});
  for (uint32_t i = 0; i < m.linkCount; ++i)
    c.links.push_back({m.links[i].start, std::string(m.links[i].target, m.links[i].length)});
  return c;
}

TEST(ConvertMarkup, Table) {
  struct {
    const char* source;
    const char* text;
    std::vector<Span> runs;
    std::vector<Link> links;
  } cases[] = {
      {"", "", {}, {}},
      {"plain text", "plain text", {}, {}},
      {"<b>Hello</b> world", "Hello world", {{kTagBold, 0, 5, 0}}, {}},
      {"</b>x", "</b>x", {}, {}},
      {"<b>a<b>b</b>c</b>", "abc</b>", {{kTagBold, 0, 2, 0}}, {}},
      {"<b>Hello", "Hello", {{kTagBold, 0, 5, 0}}, {}},
      {"a < b", "a < b", {}, {}},
      {"<br>", "<br>", {}, {}},
      {"<b >x", "<b >x", {}, {}},
      {"<B>x</B>y", "xy", {{kTagBold, 0, 1, 0}}, {}},
      {"<StRiKe>x", "<StRiKe>x", {}, {}},
      {"<S>x</s>", "x", {{kTagStrikeOut, 0, 1, 0}}, {}},
      {"<<b>x</b>", "<x", {{kTagBold, 1, 2, 0}}, {}},
      {"x<", "x<", {}, {}},
      {"<fontsize=14>Big</font>", "Big", {{kTagFontSize, 0, 3, 14}}, {}},
      {"<fontsize=1x2>a</font>", "a", {{kTagFontSize, 0, 1, 12}}, {}},
      {"<fontsize=14", "", {{kTagFontSize, 0, 0, 14}}, {}},
      {"</fontsize>x", "</fontsize>x", {}, {}},
      {"</font>x", "</font>x", {}, {}},
      // A second size tag keeps the first start but restarts the number.
      {"<fontsize=10>a<fontsize=20>b</font>", "ab", {{kTagFontSize, 0, 2, 20}}, {}},
      {"<link=#InstallDir#\\readme.txt>Read me</link>",
       "Read me",
       {{kTagLink, 0, 7, 0}},
       {{0, "#InstallDir#\\readme.txt"}}},
      {"<link=>Home</link>", "Home", {{kTagLink, 0, 4, 0}}, {}},
      {"<LINK=a>x</Link> and <link=b>y</link>",
       "x and y",
       {{kTagLink, 0, 1, 0}, {kTagLink, 6, 7, 0}},
       {{0, "a"}, {6, "b"}}},
      // Never closed: formatted to the end, but no target to remember.
      {"see <link=abc", "see ", {{kTagLink, 4, 4, 0}}, {}},
      {"<link=t><b>x</link>", "x", {{kTagLink, 0, 1, 0}, {kTagBold, 0, 1, 0}}, {{0, "t"}}},
      // Runs come in the order they were closed; open ones follow in table order.
      {"<red>R<blue>B</blue></red>", "RB", {{kTagBlue, 1, 2, 0}, {kTagRed, 0, 2, 0}}, {}},
      {"<b><i>x</b>y</i>", "xy", {{kTagBold, 0, 1, 0}, {kTagItalic, 0, 2, 0}}, {}},
      {"<blue>x<u>y<i>z", "xyz",
       {{kTagItalic, 2, 3, 0}, {kTagUnderline, 1, 3, 0}, {kTagBlue, 0, 3, 0}}, {}},
      {"<u>a</i>b</u>", "a</i>b", {{kTagUnderline, 0, 6, 0}}, {}},
      {"<fontsize=9><b>x</b></font>", "x",
       {{kTagBold, 0, 1, 9}, {kTagFontSize, 0, 1, 9}}, {}},
      {"<black>k</black><white>w</white><green>g</green>", "kwg",
       {{kTagBlack, 0, 1, 0}, {kTagWhite, 1, 2, 0}, {kTagGreen, 2, 3, 0}}, {}},
      {"line\r\n<b>two</b>", "line\r\ntwo", {{kTagBold, 6, 9, 0}}, {}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.source);
    Converted got = Convert(c.source);
    EXPECT_EQ(got.text, c.text);
    EXPECT_EQ(got.runs, c.runs);
    EXPECT_EQ(got.links, c.links);
  }
}

TEST(ConvertMarkup, NullSourceIsEmpty) {
  Converted got = Convert(nullptr);
  EXPECT_EQ(got.text, "");
  EXPECT_TRUE(got.runs.empty());
}

TEST(ConvertMarkup, SmallBuffersCutTheTextAndKeepOffsetsInside) {
  struct {
    uint32_t size;
    const char* text;
    std::vector<Span> runs;
  } cases[] = {
      {4, "Hel", {{kTagBold, 0, 3, 0}, {kTagItalic, 3, 3, 0}}},
      {1, "", {{kTagBold, 0, 0, 0}, {kTagItalic, 0, 0, 0}}},
      {0, "", {{kTagBold, 0, 0, 0}, {kTagItalic, 0, 0, 0}}},
      {100, "Hello world", {{kTagBold, 0, 5, 0}, {kTagItalic, 5, 11, 0}}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.size);
    Converted got = Convert("<b>Hello</b><i> world", c.size);
    EXPECT_EQ(got.text, c.text);
    EXPECT_EQ(got.runs, c.runs);
  }
}

TEST(ConvertMarkup, ManyPairsLeaveRoomForEveryOpenTag) {
  std::string source;
  for (int i = 0; i < 300; ++i) source += "<b>x</b>";
  source += "<b><i><u><s><link=t><fontsize=8><black><white><red><green><blue>end";
  Converted got = Convert(source.c_str(), 4096);
  EXPECT_EQ(got.text.size(), 303u);
  ASSERT_EQ(got.runs.size(), kMaxMarkupRuns);
  for (uint32_t tag = 0; tag < kMarkupTagCount; ++tag) {
    const Span& r = got.runs[kMaxMarkupRuns - kMarkupTagCount + tag];
    EXPECT_EQ(r, (Span{int(tag), 300, 303, 8}));
  }
}

TEST(ConvertMarkup, LinksBeyondTheRoomAreDropped) {
  std::string source;
  for (int i = 0; i < 40; ++i) source += "<link=t" + std::to_string(i) + ">x</link>";
  Converted got = Convert(source.c_str());
  ASSERT_EQ(got.links.size(), kMaxMarkupLinks);
  EXPECT_EQ(got.links.back(), (Link{kMaxMarkupLinks - 1, "t" + std::to_string(kMaxMarkupLinks - 1)}));
  EXPECT_EQ(got.runs.size(), 40u);
}

TEST(RunFormat, Table) {
  struct {
    MarkupRun run;
    MarkupFormat format;
  } cases[] = {
      {{kTagBold, 0, 1, 0}, {0x1, 0x1, 0, 0}},
      {{kTagItalic, 0, 1, 0}, {0x2, 0x2, 0, 0}},
      {{kTagUnderline, 0, 1, 0}, {0x4, 0x4, 0, 0}},
      {{kTagStrikeOut, 0, 1, 0}, {0x8, 0x8, 0, 0}},
      {{kTagLink, 0, 1, 0}, {0x20, 0x20, 0, 0}},
      {{kTagFontSize, 0, 1, 14}, {0x80000000u, 0, 0, 280}},
      {{kTagFontSize, 0, 1, 0}, {0x80000000u, 0, 0, 0}},
      {{kTagBlack, 0, 1, 0}, {0x40000000u, 0, 0x000000, 0}},
      {{kTagWhite, 0, 1, 0}, {0x40000000u, 0, 0xFFFFFF, 0}},
      {{kTagRed, 0, 1, 0}, {0x40000000u, 0, 0x0000FF, 0}},
      {{kTagGreen, 0, 1, 0}, {0x40000000u, 0, 0x00FF00, 0}},
      {{kTagBlue, 0, 1, 0}, {0x40000000u, 0, 0xFF0000, 0}},
      {{kMarkupTagCount, 0, 1, 0}, {0, 0, 0, 0}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(int(c.run.tag));
    MarkupFormat f = RunFormat(c.run);
    EXPECT_EQ(f.mask, c.format.mask);
    EXPECT_EQ(f.effects, c.format.effects);
    EXPECT_EQ(f.color, c.format.color);
    EXPECT_EQ(f.heightTwips, c.format.heightTwips);
  }
}

TEST(RunFormat, HugeSizesStayWithinTheControlsRange) {
  Converted got = Convert("<fontsize=99999999999999999999>x</font>");
  ASSERT_EQ(got.runs.size(), 1u);
  EXPECT_EQ(got.runs[0].size, kMaxFontPoints);
  MarkupRun run{kTagFontSize, 0, 1, got.runs[0].size};
  EXPECT_EQ(RunFormat(run).heightTwips, int32_t(kMaxFontPoints * 20));
}

// Distinct fake window handles.
const void* Window(int n) { return reinterpret_cast<const void*>(uintptr_t(0x1000 + n * 16)); }

class LinkStore : public ::testing::Test {
 protected:
  void SetUp() override { ClearLinkStore(); }
  void TearDown() override { ClearLinkStore(); }
  static bool Store(const void* window, std::vector<std::pair<uint32_t, std::string>> links) {
    std::vector<MarkupLink> raw;
    for (auto& [start, target] : links)
      raw.push_back({start, target.data(), uint32_t(target.size())});
    return StoreLinkTargets(window, raw.data(), uint32_t(raw.size()));
  }
  static std::string Find(const void* window, uint32_t offset) {
    const char* t = FindLinkTarget(window, offset);
    return t ? t : "<none>";
  }
};

TEST_F(LinkStore, LookupsTable) {
  ASSERT_TRUE(Store(Window(1), {{0, "first.htm"}, {12, "#InstallDir#\\b.txt"}, {12, "shadowed"}}));
  ASSERT_TRUE(Store(Window(2), {{0, "other"}}));
  struct {
    const void* window;
    uint32_t offset;
    const char* target;
  } cases[] = {
      {Window(1), 0, "first.htm"}, {Window(1), 12, "#InstallDir#\\b.txt"},
      {Window(1), 1, "<none>"},    {Window(1), 11, "<none>"},
      {Window(2), 0, "other"},     {Window(2), 12, "<none>"},
      {Window(3), 0, "<none>"},    {nullptr, 0, "<none>"},
  };
  for (auto& c : cases) EXPECT_EQ(Find(c.window, c.offset), c.target) << c.window << " " << c.offset;
}

TEST_F(LinkStore, SettingAgainReplacesAndClearingForgets) {
  ASSERT_TRUE(Store(Window(1), {{0, "old"}, {5, "old5"}}));
  ASSERT_TRUE(Store(Window(1), {{5, "new"}}));
  EXPECT_EQ(Find(Window(1), 0), "<none>");
  EXPECT_EQ(Find(Window(1), 5), "new");
  ASSERT_TRUE(Store(Window(1), {}));
  EXPECT_EQ(Find(Window(1), 5), "<none>");
  ASSERT_TRUE(Store(Window(2), {{0, "x"}}));
  ClearLinkStore();
  EXPECT_EQ(Find(Window(2), 0), "<none>");
}

TEST_F(LinkStore, TargetsAreCopiedAndCutToTheClickBuffer) {
  std::string target(600, 'a');
  MarkupLink link{3, target.data(), uint32_t(target.size())};
  ASSERT_TRUE(StoreLinkTargets(Window(1), &link, 1));
  target.assign(600, 'b');
  EXPECT_EQ(Find(Window(1), 3), std::string(kMaxLinkTargetLength, 'a'));
}

TEST_F(LinkStore, FiftyWindowsAtMost) {
  for (uint32_t i = 0; i < kMaxLinkWindows; ++i)
    ASSERT_TRUE(Store(Window(int(i)), {{i, "t" + std::to_string(i)}})) << i;
  EXPECT_FALSE(Store(Window(99), {{0, "refused"}}));
  EXPECT_EQ(Find(Window(99), 0), "<none>");
  // A window already held may still be replaced, and a freed place is reused.
  EXPECT_TRUE(Store(Window(7), {{7, "again"}}));
  EXPECT_EQ(Find(Window(7), 7), "again");
  EXPECT_TRUE(Store(Window(8), {}));
  EXPECT_TRUE(Store(Window(99), {{0, "now"}}));
  EXPECT_EQ(Find(Window(99), 0), "now");
  EXPECT_EQ(Find(Window(49), 49), "t49");
  EXPECT_FALSE(Store(nullptr, {{0, "x"}}));
}

TEST_F(LinkStore, HoldsWhatTheConversionFound) {
  static Markup m;
  char text[64];
  const char* source = "Read <link=#InstallDir#\\readme.txt>me</link> or <link=>Home</link>";
  ConvertMarkup(source, text, sizeof text, &m);
  ASSERT_TRUE(StoreLinkTargets(Window(1), m.links, m.linkCount));
  EXPECT_STREQ(text, "Read me or Home");
  EXPECT_EQ(Find(Window(1), 5), "#InstallDir#\\readme.txt");
  EXPECT_EQ(Find(Window(1), 11), "<none>");
}

}  // namespace

#include "text/link_extension.h"

namespace {

TEST(LinkExtension, Table) {
  struct {
    const char* target;
    const char* extension;
  } cases[] = {
      {"C:\\Program Files\\Demo\\readme.txt", ".txt"},
      {"www.example.com", ".com"},
      {"localhost", ".htm"},
      {"page.html", ".htm"},
      {".txt", ".txt"},
      {"a.c", ".htm"},
      {"txt", ".htm"},
      {"", ".htm"},
      {nullptr, ".htm"},
  };
  for (auto& c : cases) EXPECT_STREQ(LinkExtension(c.target), c.extension) << (c.target ? c.target : "null");
}

}  // namespace
