// `wrenly new [DIR]`: a small project that builds as it is, for a first try.
#pragma once
#include <filesystem>
#include <ostream>

namespace wrenly::tool {

// Writes the project file and the file it installs into `dir`, never over an
// existing file. Returns the exit code.
int WriteNewProject(const std::filesystem::path& dir, std::ostream& out, std::ostream& err);

}  // namespace wrenly::tool
