#include <gtest/gtest.h>

#include <string>

#include "ui/shorten_path.h"

namespace {

TEST(ShortenPath, Table) {
  struct {
    const char* path;
    uint32_t maximum;
    const char* shortened;
  } cases[] = {
      {"", 0, ""},
      {"C:\\short.txt", 30, "C:\\short.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 44, "C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 43, "C:\\Program Files\\Wrenly Demo\\...\\readme.txt"},
      // May stay a little over the maximum: folders are only dropped whole.
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 30, "C:\\Program Files\\...\\readme.txt"},
      // A folder is kept only while the result stays under the maximum.
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 28, "C:\\Program Files\\...\\readme.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 27, "C:\\...\\readme.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 20, "C:\\...\\readme.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 10, "C:\\...\\readme.txt"},
      {"C:\\Program Files\\Wrenly Demo\\Docs\\readme.txt", 0, "C:\\...\\readme.txt"},
      {"no_backslash_in_this_rather_long_name.txt", 10, "no_backslash_in_this_rather_long_name.txt"},
      {"C:\\a_really_long_file_name.txt", 10, "C:\\a_really_long_file_name.txt"},
      // First and last backslashes too close to leave room for "...".
      {"C:\\ab\\very_long_file_name_here.txt", 20, "C:\\ab\\very_long_file_name_here.txt"},
      {"C:\\abc\\very_long_file_name_here.txt", 20, "C:\\...\\very_long_file_name_here.txt"},
      {"\\\\server\\share\\folder\\sub\\file.txt", 20, "\\\\server\\...\\file.txt"},
      {"folder1\\folder2\\folder3\\file.txt", 15, "folder1\\...\\file.txt"},
      {"C:\\Dir\\", 3, "C:\\...\\"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string buffer = std::string(c.path) + '\0' + "guard";
    ShortenPath(buffer.data(), c.maximum);
    EXPECT_STREQ(buffer.c_str(), c.shortened) << "maximum " << c.maximum;
    EXPECT_EQ(buffer.substr(buffer.size() - 5), "guard");
  }
}

TEST(ShortenPath, NullIsIgnored) { ShortenPath(nullptr, 30); }

}  // namespace
