#include "startup/command_line.h"

#include "fixtures.h"

namespace {

using CommandLine = InstallerTest;

// The options set: the resume type, then DEL, N (no run at the end), R, V and S=the own path when changed.
std::string Parse(const char* text) {
  const char kOwn[] = "C:\\own\\setup.exe";
  Setup setup;
  char own[kPathSize];
  InitSetup(setup), setup.ownPath = std::strcpy(own, kOwn), ParseCommandLine(setup, text);
  std::string s = "B" + std::to_string(setup.options.resumeType);
  for (auto [set, word] : {std::pair{setup.options.deleteSelf, " DEL"},
                           {!setup.runAtEnd, " N"},
                           {setup.options.acceptDamaged, " R"},
                           {setup.options.verbose, " V"}})
    if (set) s += word;
  return std::string(setup.ownPath) == kOwn ? s : s + " S=" + setup.ownPath;
}

TEST_F(CommandLine, SetsExactlyTheOptionsGiven) {
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, "B0"},
      {"setup.txt /N", "B0"},
      {"/", "B0"},
      {"/B12", "B12"},
      {"/B123 /N", "B12 N"},
      {"/B", "B0"},
      {"-N", "B0 N"},
      {"   /N", "B0 N"},
      {"/b1 /del /n", "B1 DEL N"},
      {"/N/DEL", "B0 DEL N"},
      {"/R/N", "B0 N"},
      {"/R", "B0 R"},
      {"/RX", "B0"},
      {"/DELETE", "B0 DEL"},
      {"/D /DX", "B0"},
      {"/Q /V", "B0 V"},
      {"/S", "B0 S="},
      {"/S\"C:\\Program Files\\setup.exe\" /DEL", "B0 DEL S=C:\\Program Files\\setup.exe"},
  };
  for (auto& [text, options] : cases) EXPECT_EQ(Parse(text), options) << (text ? text : "null");
}

TEST(PathArgument, StaysInsideItsBufferAndTerminated) {
  const std::string kLong(300, 'a');
  // The text, the capacity, what is stored and where parsing goes on.
  const std::tuple<std::string, uint32_t, std::string, size_t> cases[] = {
      {"  C:\\a b", 260, "C:\\a", 6},
      {"\"C:\\a b\" /N", 260, "C:\\a b", 8},
      {"\"open", 260, "open", 5},
      {"", 260, "", 0},
      {"abcdef", 4, "abc", 6},
      {std::string(259, 'p'), 260, std::string(259, 'p'), 259},
      {kLong, 260, std::string(259, 'a'), 300},
      {"\"" + kLong + "\"", 260, std::string(259, 'a'), 302},
  };
  for (auto& [text, capacity, stored, consumed] : cases) {
    std::string buffer(capacity + 8, '\x7f');
    const char* next = ReadPathArgument(text.c_str(), buffer.data(), capacity);
    EXPECT_EQ(std::tuple(std::string(buffer.c_str()), buffer.substr(capacity), size_t(next - text.c_str())),
              std::tuple(stored, std::string(8, '\x7f'), consumed))
        << text;
  }
}

}  // namespace
