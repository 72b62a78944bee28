#include "tool/new_project.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "builder/output_files.h"
#include "builder/utf8_path.h"
#include "tool/exit_codes.h"

namespace wrenly::tool {
namespace fs = std::filesystem;

namespace {

constexpr char kProjectName[] = "project.toml";
constexpr char kPlaceholderName[] = "readme.txt";

// A newcomer's usual next steps are there as comments, to uncomment rather
// than look up.
constexpr std::string_view kProject = R"(# A Wrenly project. Build it with
#   wrenly build project.toml
# which writes setup.exe beside this file. Every key is described in
# docs/project-file.md; relative paths count from this file's folder.

[product]
name = "My Product"
version = "1.0"
publisher = "My Company"
# The folder the Installer proposes; #Program Files# becomes the user's own.
folder = "#Program Files#\\My Product"
# Add the product to the list of installed programs, with an uninstaller.
# register_uninstall = true
# A text to read and a license to accept before installing (files beside this one).
# information = "readme.txt"
# license = "license.txt"

# One [[files]] table per file, folder or wildcard to install.
[[files]]
source = "readme.txt"
# A shortcut in the Start menu's Programs.
# start_menu = { groups = ["My Product"], name = "Read me" }

# [[files]]
# source = "bin/*.exe"
# folder = "bin"
)";

constexpr std::string_view kPlaceholder =
    "This file stands in for your product's files: replace it, and list them\n"
    "under [[files]] in project.toml.\n";

}  // namespace

int WriteNewProject(const fs::path& dir, std::ostream& out, std::ostream& err) {
  const std::pair<fs::path, std::string_view> files[] = {{dir / kProjectName, kProject},
                                                         {dir / kPlaceholderName, kPlaceholder}};
  std::error_code ec;
  for (const auto& [path, text] : files)
    if (fs::exists(fs::symlink_status(path, ec))) {
      err << "wrenly: new: " << builder::Utf8(path) << " already exists; nothing was written\n";
      return kUsage;
    }
  if (fs::create_directories(dir.empty() ? "." : dir, ec); ec) {
    err << "wrenly: new: cannot create the folder " << builder::Utf8(dir) << ": " << ec.message() << "\n";
    return kOutput;
  }
  for (const auto& [path, text] : files) {
    std::FILE* file = builder::OpenNewFile(path, false);
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) {
      err << "wrenly: new: cannot write " << builder::Utf8(path) << ": " << std::strerror(errno) << "\n";
      return errno == EEXIST ? kUsage : kOutput;
    }
    out << "wrote " << builder::Utf8(path) << "\n";
  }
  out << "build it with: wrenly build " << builder::Utf8(dir / kProjectName) << "\n";
  return kDone;
}

}  // namespace wrenly::tool
