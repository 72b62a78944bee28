// The driver's commands. Each is one row of a table, so a new step never
// touches the step runner.
#pragma once
#include <string>
#include <vector>

#include "target.h"

namespace driver {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  int minArgs;
  int maxArgs;  // -1: any number
  const char* usage;
  bool needsTarget;  // the step works on a program a `start` step began
  // True when the observation matched what the step expects.
  bool (*run)(Target&, const Args&);
};

const Command* FindCommand(const std::string& name);
const std::vector<Command>& AllCommands();

}  // namespace driver
