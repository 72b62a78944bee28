#include "startup/command_line.h"

#include "fixtures.h"
#include "package/package.h"
#include "startup/exit_code.h"

namespace {

using CommandLine = InstallerTest;

// The options set: the resume type, then DEL, N (no run at the end), R, V, Q or QP, S=the own path when
// changed, and T=, I=, L= when given.
std::string Parse(const char* text) {
  const char kOwn[] = "C:\\own\\setup.exe";
  Setup setup;
  char own[kPathSize];
  InitSetup(setup), setup.ownPath = std::strcpy(own, kOwn), ParseCommandLine(setup, text);
  std::string s = "B" + std::to_string(setup.options.resumeType);
  for (auto [set, word] : {std::pair{setup.options.deleteSelf, " DEL"},
                           {!setup.runAtEnd, " N"},
                           {setup.options.acceptDamaged, " R"},
                           {setup.options.verbose, " V"},
                           {setup.options.quiet == kQuiet, " Q"},
                           {setup.options.quiet == kQuietProgress, " QP"}})
    if (set) s += word;
  if (std::string(setup.ownPath) != kOwn) s += " S=" + std::string(setup.ownPath);
  for (auto [value, name] : {std::pair{setup.options.targetFolder, " T="},
                             {setup.options.installType, " I="},
                             {setup.options.logPath, " L="}})
    if (*value) s += name + std::string(value);
  return s;
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
      {"/Q /V", "B0 V Q"},
      {"/Q/N", "B0 N Q"},
      {"-qp /R", "B0 R QP"},
      {"/QX/Quiet", "B0 Q"},
      {"/T\"C:\\Program Files\\X\" /L log.txt", "B0 T=C:\\Program Files\\X L=log.txt"},
      {"/TC:\\a /N /I\"Full install\"/Q", "B0 N Q T=C:\\a I=Full install"},
      {"/I2/LC:\\l.txt", "B0 I=2/LC:\\l.txt"},
      {"/S", "B0 S="},
      {"/S\"C:\\Program Files\\setup.exe\" /DEL", "B0 DEL S=C:\\Program Files\\setup.exe"},
  };
  for (auto& [text, options] : cases) EXPECT_EQ(Parse(text), options) << (text ? text : "null");
}

TEST(InstallTypeArgument, ByNumberOrName) {
  Package package{};
  package.typeCount = 2, package.types[0].typeName = "Full", package.types[1].typeName = "Minimal";
  const std::pair<const char*, int> cases[] = {
      {"1", 0},    {"02", 1},   {"3", -1},     {"0", -1}, {"99999999999", -1}, {"minimal", 1},
      {"FULL", 0}, {"Ful", -1}, {"Full2", -1}, {"", -1},  {"1x", -1},
  };
  for (auto& [argument, type] : cases) EXPECT_EQ(FindInstallType(package, argument), type) << argument;
}

// What the caller reads: a failure before a restart, a cancel before
// success, and a restart as 3010 only where no script of old could look.
TEST(ExitCode, FailureCancelRestartSuccess) {
  struct {
    const char* what;
    int result;
    bool cancelled, finished, singlePage, restart;
    int quiet, code;
  } cases[] = {
      {"installed", 0, false, true, false, false, kInteractive, kExitOk},
      {"a failure, with a file waiting for the restart", kResultCannotWrite, false, true, false, true, kQuiet,
       kResultCannotWrite},
      {"the failure the finish page showed", kResultNoSpace, true, false, false, false, kInteractive, kResultNoSpace},
      {"cancelled", 0, true, true, false, true, kInteractive, kExitCancelled},
      {"Cancel without a question before installing", 0, false, false, false, false, kInteractive, kExitCancelled},
      {"one page only", 0, false, false, true, false, kInteractive, kExitOk},
      {"restart, interactive", 0, false, true, false, true, kInteractive, kExitRestartNeeded},
      {"restart, quiet", 0, false, true, false, true, kQuiet, kExitRestartRequired},
  };
  for (auto& c : cases) {
    ::Setup setup;
    InitSetup(setup);
    setup.resultCode = c.result, setup.userCancelled = c.cancelled, setup.run.finished = c.finished;
    setup.singlePageMode = c.singlePage, setup.restartNeeded = c.restart, setup.options.quiet = c.quiet;
    EXPECT_EQ(FinalExitCode(setup), c.code) << c.what;
  }
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
