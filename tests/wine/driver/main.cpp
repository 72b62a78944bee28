// wrenly-driver: starts a program under test and drives its windows.
//   wrenly-driver start C:\t\setup.exe /B1 ; wait-dialog 10 ; press OK ; wait-exit 15
// Steps are separated by ";" arguments. Exit code: 0 when every step saw what
// it expects, 1 when one did not (the run stops there), 2 for a usage error.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "report.h"

namespace {

struct Step {
  const driver::Command* command;
  driver::Args args;
};

void Usage() {
  fputs("usage: wrenly-driver STEP [; STEP]...\nsteps:\n", stderr);
  for (const auto& c : driver::AllCommands()) fprintf(stderr, "  %s\n", c.usage);
}

bool ParseSteps(int argc, char** argv, std::vector<Step>& steps) {
  std::vector<std::vector<std::string>> groups(1);
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == ";")
      groups.emplace_back();
    else
      groups.back().push_back(a);
  }
  for (auto& g : groups) {
    if (g.empty()) continue;
    const driver::Command* c = driver::FindCommand(g[0]);
    if (!c) {
      fprintf(stderr, "wrenly-driver: unknown step '%s'\n", g[0].c_str());
      return false;
    }
    driver::Args args(g.begin() + 1, g.end());
    int n = static_cast<int>(args.size());
    if (n < c->minArgs || (c->maxArgs >= 0 && n > c->maxArgs)) {
      fprintf(stderr, "wrenly-driver: usage: %s\n", c->usage);
      return false;
    }
    steps.push_back({c, std::move(args)});
  }
  return !steps.empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Step> steps;
  if (!ParseSteps(argc, argv, steps)) {
    Usage();
    return 2;
  }
  driver::Target target;
  bool ok = true;
  for (const auto& s : steps) {
    if (s.command->needsTarget && !target.started) {
      driver::Line("error no-target");
      ok = false;
    }
    if (!ok || !(ok = s.command->run(target, s.args))) break;
  }
  if (target.started && !driver::PollExit(target)) {
    // A scenario ends with the target's exit; one still running is a fault.
    driver::KillTarget(target);
    driver::Line("killed");
    ok = false;
  }
  driver::CloseTarget(target);
  return ok ? 0 : 1;
}
