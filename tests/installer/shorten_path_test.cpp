#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ui/shorten_path.h"

namespace {

TEST(ShortenPath, Table) {
  const std::string kPath = "C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt";  // 44 characters
  const std::tuple<std::string, uint32_t, const char*> cases[] = {
      {kPath, 44, "C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt"},
      {kPath, 43, "C:\\Program Files\\Wrenly Demo\\...\\readme.txt"},
      // Folders are dropped whole and kept only while the result stays under the maximum.
      {kPath, 28, "C:\\Program Files\\...\\readme.txt"}, {kPath, 27, "C:\\...\\readme.txt"},
      {"no_backslash_in_a_long_name.txt", 10, "no_backslash_in_a_long_name.txt"}, {"C:\\Dir\\", 3, "C:\\...\\"},
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
