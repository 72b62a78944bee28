#include <gtest/gtest.h>

#include <string>

#include "installer_fixture.h"
#include "startup/command_line.h"

namespace {

struct CommandCase {
  const char* text;
  int resumeType;
  bool deleteSelf, runAtEnd, acceptDamaged, verbose;
  const char* path;  // own path afterwards
};

const char kOwn[] = "C:\\own\\setup.exe";

class CommandLine : public InstallerTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandLine, SetsExactlyTheOptionsGiven) {
  const CommandCase& c = GetParam();
  std::strcpy(OwnPath, kOwn);
  ParseCommandLine(c.text);
  EXPECT_EQ(Options.resumeType, c.resumeType);
  EXPECT_EQ(Options.deleteSelf, c.deleteSelf);
  EXPECT_EQ(RunAtEnd, c.runAtEnd);
  EXPECT_EQ(Options.acceptDamaged, c.acceptDamaged);
  EXPECT_EQ(Options.verbose, c.verbose);
  EXPECT_STREQ(OwnPath, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        CommandCase{nullptr, 0, false, true, false, false, kOwn},
        CommandCase{"", 0, false, true, false, false, kOwn},
        CommandCase{"setup.txt /N", 0, false, true, false, false, kOwn},
        CommandCase{"/B7", 7, false, true, false, false, kOwn},
        CommandCase{"/B12", 12, false, true, false, false, kOwn},
        CommandCase{"/B123 /N", 12, false, false, false, false, kOwn},
        CommandCase{"/B", 0, false, true, false, false, kOwn},
        CommandCase{"/Bx", 0, false, true, false, false, kOwn},
        CommandCase{"/b1 /del /n", 1, true, false, false, false, kOwn},
        CommandCase{"-N", 0, false, false, false, false, kOwn},
        CommandCase{"/N/DEL", 0, true, false, false, false, kOwn},
        CommandCase{"/R/N", 0, false, false, false, false, kOwn},
        CommandCase{"/R", 0, false, true, true, false, kOwn},
        CommandCase{"/R /V", 0, false, true, true, true, kOwn},
        CommandCase{"/RX", 0, false, true, false, false, kOwn},
        CommandCase{"/DELETE", 0, true, true, false, false, kOwn},
        CommandCase{"/D /DX", 0, false, true, false, false, kOwn},
        CommandCase{"/Q /V", 0, false, true, false, true, kOwn},
        CommandCase{"   /N", 0, false, false, false, false, kOwn},
        CommandCase{"/", 0, false, true, false, false, kOwn},
        CommandCase{"/S\"C:\\Program Files\\Setup\\setup.exe\" /DEL", 0, true, true, false, false,
                    "C:\\Program Files\\Setup\\setup.exe"},
        CommandCase{"/S C:\\dir\\setup.exe /N", 0, false, false, false, false, "C:\\dir\\setup.exe"},
        CommandCase{"/SC:\\dir\\setup.exe", 0, false, true, false, false, "C:\\dir\\setup.exe"},
        CommandCase{"/S\"C:\\dir\\x.exe /N", 0, false, true, false, false, "C:\\dir\\x.exe /N"},
        CommandCase{"/S", 0, false, true, false, false, ""}));

struct PathCase {
  std::string text;
  uint32_t capacity;
  std::string stored;
  size_t consumed;  // where parsing goes on
};

class PathArgument : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathArgument, StaysInsideItsBufferAndTerminated) {
  const PathCase& c = GetParam();
  std::string buffer(c.capacity + 8, '\x7f');
  const char* next = ReadPathArgument(c.text.c_str(), buffer.data(), c.capacity);
  EXPECT_STREQ(buffer.c_str(), c.stored.c_str());
  EXPECT_EQ(static_cast<size_t>(next - c.text.c_str()), c.consumed);
  for (size_t i = c.capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '\x7f') << "byte " << i;
}

const std::string kLong(300, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, PathArgument,
    ::testing::Values(PathCase{"  C:\\a b", 260, "C:\\a", 6}, PathCase{"\"C:\\a b\" /N", 260, "C:\\a b", 8},
                      PathCase{"\"open", 260, "open", 5}, PathCase{"", 260, "", 0},
                      PathCase{"abcdef", 4, "abc", 6}, PathCase{"\"abcdef\"x", 4, "abc", 8},
                      PathCase{std::string(259, 'p'), 260, std::string(259, 'p'), 259},
                      PathCase{kLong, 260, std::string(259, 'a'), 300},
                      PathCase{"\"" + kLong + "\"", 260, std::string(259, 'a'), 302}));

}  // namespace
