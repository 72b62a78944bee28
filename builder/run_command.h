// Starting another program and waiting for it, without a shell: the only
// platform code of the builder.
#pragma once
#include <string>
#include <vector>

namespace wrenly::builder {

struct CommandEnd {
  bool started = false;
  int status = 0;       // the exit status, when it ended by itself
  int signal = 0;       // POSIX: the signal that ended it
  std::string problem;  // why it could not start
};

// Runs args[0], found on PATH, with its standard streams shared with ours.
// A SIGINT, SIGTERM or SIGHUP that reaches the build while it waits is passed on to
// the program, so an interrupted build does not wait for a whole run.
CommandEnd RunCommand(const std::vector<std::string>& args);

}  // namespace wrenly::builder
