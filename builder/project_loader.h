// Reads a project file into a resolved Project.
#pragma once
#include <filesystem>

#include "builder/project.h"
#include "builder/toml_reader.h"

namespace wrenly::builder {

// Throws BuildError naming the file and line of the first problem.
Project LoadProject(const std::filesystem::path& file, const Defines& defines);

}  // namespace wrenly::builder
