#include <gtest/gtest.h>

#include "reader/entry_paths.h"
#include "reader/package.h"

namespace wi = wrenly::inspector;

namespace {

struct VolumeCase {
  const char* setup;
  int number;
  const char* expected;
};

TEST(VolumePath, ReplacesTheFileNamesExtension) {
  const VolumeCase cases[] = {
      {"dir/setup.exe", 1, "dir/setup.D01"},
      {"dir/setup", 2, "dir/setup.D02"},
      {"dir.v2/setup", 3, "dir.v2/setup.D03"},
      {"a/b.c.exe", 12, "a/b.c.D12"},
      {"setup.exe", 100, "setup.D100"},
  };
  for (const auto& c : cases) EXPECT_EQ(wi::VolumePath(c.setup, c.number).string(), c.expected) << c.setup;
}

struct NameCase {
  const char* name;
  bool accepted;
  const char* joined;  // components joined by '/'
};

TEST(SafeComponents, RefusesNamesThatLeaveTheFolder) {
  const NameCase cases[] = {
      {"file.txt", true, "file.txt"},
      {"sub\\dir\\file.txt", true, "sub/dir/file.txt"},
      {"sub/dir\\file.txt", true, "sub/dir/file.txt"},
      {".\\a\\\\b", true, "a/b"},
      {"..a\\b..", true, "..a/b.."},
      {"", false, ""},
      {"..", false, ""},
      {"..\\evil.txt", false, ""},
      {"a\\..\\..\\b", false, ""},
      {"a/../b", false, ""},
      {"\\windows\\x.dll", false, ""},
      {"/etc/passwd", false, ""},
      {"C:\\x.txt", false, ""},
      {"c:x.txt", false, ""},
      {"file.txt:stream", false, ""},
  };
  for (const auto& c : cases) {
    std::string why;
    auto parts = wi::SafeComponents(c.name, &why);
    ASSERT_EQ(parts.has_value(), c.accepted) << c.name;
    if (!parts) {
      EXPECT_NE(why, "") << c.name;
      continue;
    }
    std::string joined;
    for (auto& p : *parts) joined += (joined.empty() ? "" : "/") + p;
    EXPECT_EQ(joined, c.joined) << c.name;
  }
}

}  // namespace
