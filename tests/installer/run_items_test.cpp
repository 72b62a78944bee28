// Which marked entries start at which moment and the command lines they
// start with; the temporary copy where the Wine scenario cannot look.
#include "system/run_items.h"

#include "fixtures.h"
#include "startup/temp_copy.h"
#include "system/open_document.h"

namespace {

using RunItemsTest = InstallerTest;
constexpr int Install = wf::kRunAfterInstall, Finish = wf::kRunAtFinishPage, Wizard = wf::kRunAfterWizard,
              Request = wf::kRunOnRequest, All = kRunEverything, Programs = kRunProgramsOnly,
              Documents = kRunDocumentsOnly, Resumed = kInResumedRun, Now = kInThisRun;
constexpr uint32_t K1 = Install << wf::kRunKindShift, K2 = Finish << wf::kRunKindShift,
                   K3 = Wizard << wf::kRunKindShift, K4 = Request << wf::kRunKindShift, D = wf::kFlagRunDocument,
                   R = wf::kFlagRunAfterRestart;

TEST(RunMoments, Table) {
  struct {
    uint32_t flags;
    int kind, pass, after;
    bool restart, runs;
  } cases[] = {
      {K1, Install, All, Now, 0, 1},
      {K1 | R, Install, All, Now, 1, 0},
      {K1 | R, Install, All, Now, 0, 1},
      {K1 | R, Install, All, Resumed, 0, 1},
      {K1, Install, All, Resumed, 0, 0},
      {K1, Install, All, Now, 1, 1},
      {K2 | D | R, Finish, All, Resumed, 0, 1},
      {K2 | D, Finish, All, Now, 1, 1},
      {K2, Install, All, Now, 0, 0},
      {R, Install, All, Resumed, 0, 0},
      {K3, Wizard, All, Now, 1, 0},
      {K3 | D, Wizard, All, Now, 0, 1},
      {K3 | R, Wizard, All, Resumed, 0, 1},
      {K4 | D, Request, Documents, Now, 1, 1},
      {K4, Request, Documents, Now, 0, 0},
      {K4 | D, Request, Programs, Now, 0, 0},
      {K4, Request, Programs, Now, 1, 0},
      {K4, Request, Programs, Resumed, 0, 1},
      {K4 | D, Request, Programs, Resumed, 0, 0},
  };
  for (auto& c : cases)
    EXPECT_EQ(RunsAtMoment(c.flags, c.kind, c.pass, c.after, c.restart), c.runs)
        << std::hex << c.flags << std::dec << " at " << c.kind << c.pass << c.after << " restart " << c.restart;
}

TEST(HandlerCommands, ThePlaceholderAndWhatFollowsGo) {
  const std::tuple<const char*, uint32_t, const char*> cases[] = {
      // the handler, the room, the command ("": does not fit)
      {"prog %1 /x", 260, "prog  \"C:\\My Files\\a.xyz\""},
      {"prog \"%1\"", 20, ""},
      {"\"C:\\A B\\v.exe\"", 260, "\"C:\\A B\\v.exe\" \"C:\\My Files\\a.xyz\""}};
  for (auto& [handler, size, command] : cases) {
    char out[260];
    uint32_t n = HandlerCommand(out, size, handler, "C:\\My Files\\a.xyz");
    EXPECT_EQ(n < size ? out : "", std::string(command)) << handler;
  }
}

TEST_F(RunItemsTest, CommandLines) {
  // The folder has a blank and the volume no short names unless given one.
  const std::string many(600, 'x'), app = "\"C:\\Program Files\\Demo\\app.exe\"";
  auto doc = [](const char* name) { return FileEntryFields{{name}, wf::kDestTemp, K1 | D}; };  // "~": that folder
  struct {
    FileEntryFields entry;
    std::string started;
    bool shellOpens = false;
  } cases[] = {
      {{{"app.exe", "", "", "", "", "", "", "", "0 /s"}, 0, K1}, "exec " + app + " 0 /s"},
      {{{"app.exe", "", "", "", "", "", "", "", many}, 0, K1 | wf::kFlagRunWait}, "wait " + app + " " + many},
      {{{"short.exe"}, 0, K1}, "exec \"C:\\PROGRA~1\\Demo\\short.exe\""},
      {doc("a.xyz"), "open ~a.xyz|exec prog  \"~a.xyz\""},
      {doc("a.xyz"), "open ~a.xyz", true},
      {doc("readme"), "open ~readme|exec dot \"~readme\""},
      {doc("gone.xyz"), ""},
  };
  for (auto& c : cases) {
    Fresh(), FakeFiles.tempFolder = Path("t\\");
    if (c.entry.items[0] != "gone.xyz") Write("t\\" + c.entry.items[0], std::string("doc"));
    Fake.registry = {{"0|.xyz|", "xyzfile"},
                     {"0|xyzfile\\shell\\open\\command|", "prog \"%1\" /x"},
                     {"0|.|", "dotfile"},
                     {"0|dotfile\\shell\\open\\command|", "dot"}};
    FakeFiles.shortNames["C:\\Program Files\\Demo\\short.exe"] = "C:\\PROGRA~1\\Demo\\short.exe";
    Processes.shellResult = c.shellOpens ? 42 : 2;
    Load(FileTable({c.entry})), RunItems(setup, Install, All, Now);
    std::string started;
    for (auto [word, list] :
         {std::pair{"|open ", &Processes.opened}, {"|exec ", &Processes.commands}, {"|wait ", &Processes.processes}})
      for (auto& line : *list) started += word + line;
    for (size_t at; (at = started.find(Path("t\\"))) != std::string::npos;)
      started.replace(at, Path("t\\").size(), "~");
    EXPECT_EQ(started.substr(started.empty() ? 0 : 1), c.started);
  }
}

TEST_F(RunItemsTest, ItemsAfterRestart) {
  const std::pair<std::vector<FileEntryFields>, int> cases[] = {
      {{{{"a"}, 0, K1}, {{"b"}, 0, K2 | D}, {{"c"}, 0, R}}, 0}, {{{{"a"}, 0, K2 | R}}, 1}, {{{{"a"}, 0, K3}}, 1}};
  for (auto& [entries, expected] : cases) {
    Fresh(), Load(FileTable(entries));
    EXPECT_EQ(HasItemsAfterRestart(setup), expected);
  }
}

TEST_F(RunItemsTest, TemporaryCopyLeftOnlyWhenItRuns) {
  FakeFiles.tempFolder = Path("t\\"), setup.runAtEnd = false;
  Load(FileTable({}));
  EXPECT_EQ(LaunchTempCopy(setup, 1, true), 1);
  std::string registered;  // under whichever number the run has reached
  for (auto& [name, data] : Fake.registry) registered += name.find("RunOnce|") != std::string::npos ? data : "";
  EXPECT_EQ(registered, "\"" + Path("t\\_inst1.exe") + "\" /B1 /DEL /N");
  // Started at once, the copy gets this run's switches and its exit code is the run's.
  setup.commandLine = "/Q /T\"C:\\a b\"", Processes.exitCode = 1602;
  int copyExit = 0;
  EXPECT_EQ(LaunchTempCopy(setup, 1, false, &copyExit), 1);
  EXPECT_EQ(std::tuple(Processes.processes.back(), copyExit),
            std::tuple("\"" + Path("t\\_inst2.exe") + "\" /S\"" + setup.ownPath + "\" /DEL /Q /T\"C:\\a b\"", 1602));
  Processes.processStarts = false;  // the copy cannot be started from the medium
  EXPECT_EQ(LaunchTempCopy(setup, 1, false), 0);
  EXPECT_FALSE(MemoryFiles.count(Path("t\\_inst3.exe")));
}

}  // namespace
