// What a build accepts but its author probably did not mean. Each warning is
// printed as "file:line: warning: ..."; --warnings-as-errors turns them into a
// refused project.
#pragma once
#include <string>
#include <vector>

#include "builder/project.h"

namespace wrenly::builder {

struct Warning {
  Where where;
  std::string text;
};

// Every warning about a loaded project, each once, in the order of the checks.
std::vector<Warning> FindWarnings(const Project& project);

std::string FormatWarning(const Warning& warning);

}  // namespace wrenly::builder
