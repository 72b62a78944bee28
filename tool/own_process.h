// What the tool knows of its own process, alike on Linux and Windows.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace wrenly::tool {

// The folder of the running program, where wrenly-stub.exe is looked for.
std::filesystem::path ToolFolder(const char* argv0);

// The command line as UTF-8. Windows' C runtime hands argv over in the ANSI
// code page, which cannot hold every name, so there the wide one is read.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether standard error is a terminal that can redraw a line in place.
bool ErrorsToTerminal();

}  // namespace wrenly::tool
