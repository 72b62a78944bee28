// Which marked entries start at which moment, the command lines they start
// with, and the temporary copy of the package's head.
#include <numeric>

#include "fixtures.h"
#include "install/data_area.h"
#include "system/open_document.h"
#include "system/run_items.h"
#include "startup/temp_copy.h"

namespace {

struct RunItemsTest : InstallerTest {
  // The scratch folder is "~"; the temporary folder is "~/t\\".
  std::string Tidy(std::string s) {
    for (size_t at; (at = s.find(scratch)) != std::string::npos;) s.replace(at, scratch.size(), "~");
    return s;
  }
};
constexpr uint32_t Kind(uint32_t k) { return k << wf::kRunKindShift; }
constexpr uint32_t D = wf::kFlagRunDocument, W = wf::kFlagRunWait, R = wf::kFlagRunAfterRestart;

TEST(RunMoments, Table) {
  struct { uint32_t flags; int kind, pass, after; bool restart, runs; } cases[] = {
      {Kind(1), 1, 0, 1, false, true},        {Kind(1) | R, 1, 0, 1, true, false},
      {Kind(1) | R, 1, 0, 1, false, true},    {Kind(1) | R, 1, 0, 0, false, true},
      {Kind(1), 1, 0, 0, false, false},       {Kind(1), 1, 0, 1, true, true},
      {Kind(2) | D | R, 2, 0, 0, false, true}, {Kind(2) | D, 2, 0, 1, true, true},
      {Kind(2), 1, 0, 1, false, false},       {Kind(0) | R, 1, 0, 0, false, false},
      {Kind(3), 3, 0, 1, true, false},        {Kind(3) | D, 3, 0, 1, false, true},
      {Kind(3), 3, 0, 0, false, true},        {Kind(3) | R, 3, 0, 0, false, true},
      {Kind(4) | D, 4, 2, 1, true, true},     {Kind(4), 4, 2, 1, false, false},
      {Kind(4) | D, 4, 1, 1, false, false},   {Kind(4), 4, 1, 1, true, false},
      {Kind(4), 4, 1, 0, false, true},        {Kind(4) | D, 4, 1, 0, false, false},
  };
  for (auto& c : cases)
    EXPECT_EQ(RunsAtMoment(c.flags, c.kind, c.pass, c.after, c.restart), c.runs)
        << std::hex << c.flags << std::dec << " at " << c.kind << c.pass << c.after << " restart " << c.restart;
}

TEST(HandlerCommands, ThePlaceholderAndWhatFollowsGo) {
  struct { const char *handler, *command; uint32_t size = 260; } cases[] = {
      {"prog \"%1\" /x", "prog  \"C:\\My Files\\a.xyz\""},
      {"prog %1 /x", "prog  \"C:\\My Files\\a.xyz\""},
      {"\"C:\\Program Files\\V\\v.exe\"", "\"C:\\Program Files\\V\\v.exe\" \"C:\\My Files\\a.xyz\""},
      {"prog \"%1\"", "", 20},  // does not fit: no command
  };
  for (auto& c : cases) {
    char out[260];
    uint32_t n = HandlerCommand(out, c.size, c.handler, "C:\\My Files\\a.xyz");
    EXPECT_EQ(n < c.size ? out : "", std::string(c.command)) << c.handler;
  }
}

TEST_F(RunItemsTest, WhatStartsAndHow) {
  const std::string args600(600, 'x');
  // started: "exec", "wait" and "open" lines in the order the system saw them.
  struct { const char* name; FileEntryFields entry; std::string started; bool shellOpens = true; } cases[] = {
      {"args", {{"app.exe", "", "", "", "", "", "", "", "0 /s"}, 0, Kind(1)},
       "exec \"C:\\Program Files\\Demo\\app.exe\" 0 /s"},
      {"no args", {{"sub\\app.exe"}, 0, Kind(1)}, "exec \"C:\\Program Files\\Demo\\sub\\app.exe\""},
      {"short name", {{"short.exe"}, 0, Kind(1)}, "exec \"C:\\PROGRA~1\\Demo\\short.exe\""},
      {"waited for", {{"app.exe", "", "", "", "", "", "", "", "/w"}, 0, Kind(1) | W},
       "wait \"C:\\Program Files\\Demo\\app.exe\" /w"},
      {"long args whole", {{"app.exe", "", "", "", "", "", "", "", args600}, 0, Kind(1)},
       "exec \"C:\\Program Files\\Demo\\app.exe\" " + args600},
      {"document", {{"a b.xyz"}, 7, Kind(1) | D}, "open ~/t\\a b.xyz"},
      {"document fallback", {{"a b.xyz"}, 7, Kind(1) | D}, "open ~/t\\a b.xyz|exec prog  \"~/t\\a b.xyz\"", false},
      {"no extension", {{"readme"}, 7, Kind(1) | D}, "open ~/t\\readme|exec dot \"~/t\\readme\"", false},
      {"missing document", {{"gone.xyz"}, 7, Kind(1) | D}, ""},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    FakeFiles.tempFolder = Path("t\\");
    if (c.entry.items[0] != "gone.xyz") Write("t\\" + c.entry.items[0], std::string("doc"));
    Fake.registry["0|.xyz|"] = "xyzfile", Fake.registry["0|xyzfile\\shell\\open\\command|"] = "prog \"%1\" /x";
    Fake.registry["0|.|"] = "dotfile", Fake.registry["0|dotfile\\shell\\open\\command|"] = "dot";
    FakeFiles.shortNames["C:\\Program Files\\Demo\\short.exe"] = "C:\\PROGRA~1\\Demo\\short.exe";
    Fake.AddFolder("C:\\Program Files\\Demo\\sub");
    Processes.shellResult = c.shellOpens ? 42 : 2;
    Load(FileTable({c.entry}));
    RunItems(1, 0, 1);
    std::string started;
    for (auto& o : Processes.opened) started += "|open " + o;
    for (auto& e : Processes.commands) started += "|exec " + e;
    for (auto& w : Processes.processes) started += "|wait " + w;
    EXPECT_EQ(Tidy(started.empty() ? "" : started.substr(1)), c.started);
    EXPECT_EQ(Processes.waits, c.entry.flags & W ? 1 : 0);
    bool sub = c.entry.items[0].find("sub\\") == 0;
    if (!(c.entry.flags & D)) EXPECT_EQ(Fake.currentFolder, sub ? "C:\\Program Files\\Demo\\sub" : "C:\\Program Files\\Demo");
  }
  SinglePageMode = true;
  RunItems(1, 0, 1);
  EXPECT_EQ(Processes.commands.size(), 0u);
}

TEST_F(RunItemsTest, ItemsAfterRestart) {
  struct { std::vector<uint32_t> flags; int expected; } cases[] = {
      {{}, 0}, {{Kind(1), Kind(2) | D, Kind(0) | R}, 0}, {{Kind(0), Kind(2) | R}, 1}, {{Kind(3)}, 1},
      {{Kind(4) | D}, 1}, {{Kind(5)}, 1},
  };
  for (auto& c : cases) {
    Fresh();
    std::vector<FileEntryFields> entries;
    for (uint32_t f : c.flags) entries.push_back({{"f.exe"}, 0, f});
    Load(FileTable(entries));
    EXPECT_EQ(HasItemsAfterRestart(), c.expected) << testing::PrintToString(c.flags);
  }
}

TEST_F(RunItemsTest, TemporaryCopyOfTheHead) {
  // copy "": none left behind.
  struct { const char* name; bool atRestart, inst1Taken = false, startFails = false; int result;
           const char *copy, *command; } cases[] = {
      {"from the medium", false, false, false, 1, "_inst1.exe", "\"~/t\\_inst1.exe\" /S\"~/my setup.exe\" /DEL"},
      {"first name taken", false, true, false, 1, "_inst2.exe", "\"~/t\\_inst2.exe\" /S\"~/my setup.exe\" /DEL"},
      {"not started", false, false, true, 0, "", "\"~/t\\_inst1.exe\" /S\"~/my setup.exe\" /DEL"},
      {"after the restart", true, false, false, 1, "_inst1.exe", "\"~/t\\_inst1.exe\" /B1 /DEL /N"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    FakeFiles.tempFolder = Path("t\\");
    PackageImage p = TypicalPackage();
    Write("my setup.exe", p.Build());
    SetOwnPath(Path("my setup.exe"));
    if (c.inst1Taken) Write("t\\_inst1.exe", std::string("another"));
    if (c.atRestart) ASSERT_EQ(LoadPackage(), 1);
    RunAtEnd = !c.atRestart;
    Processes.commandResult = c.startFails ? 2 : 33;
    EXPECT_EQ(LaunchTempCopy(1, c.atRestart), c.result);
    std::string command = Processes.commands.empty() ? "" : Processes.commands[0];
    for (auto& [name, data] : Fake.registry)
      if (name.find("RunOnce|OrinLaunch") != std::string::npos) command = data;
    EXPECT_EQ(Tidy(command), c.command);
    std::string copy = *c.copy ? ReadAll(Path("t\\") + c.copy) : "";
    EXPECT_EQ(copy.size(), *c.copy ? p.EndBlockAt() + 8 + wf::kEndBlockSizeField : 0);
    EXPECT_EQ(std::filesystem::exists(Path("t\\_inst1.exe")), c.inst1Taken || *c.copy);
  }
}

}  // namespace
