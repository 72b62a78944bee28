// The wrenly command: build setup programs, look inside them, unpack them.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "builder/build.h"
#include "builder/output_files.h"
#include "builder/signing.h"
#include "builder/stub_methods.h"
#include "builder/utf8_path.h"
#include "reader/reader.h"
#include "tool/console_text.h"
#include "tool/exit_codes.h"
#include "tool/new_project.h"
#include "tool/own_process.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  using wrenly::builder::PathFromUtf8;
  wrenly::tool::WideTextToConsoles();
  std::vector<std::string> args = wrenly::tool::Utf8Arguments(argc, argv);
  std::vector<char*> argPointers;
  for (auto& a : args) argPointers.push_back(a.data());
  argc = static_cast<int>(argPointers.size());
  argv = argPointers.data();
  CLI::App app{"wrenly: builds Windows setup programs and looks inside them"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "wrenly " WRENLY_VERSION);
  app.footer(wrenly::tool::kExitCodeHelp);

  wrenly::builder::BuildOptions build;
  std::vector<std::string> defines;
  std::string project, output, stub, uninstaller, sign;
  auto* cmdBuild = app.add_subcommand("build", "write a setup program from a project file");
  cmdBuild->add_option("project", project, "project file (.toml)")->required();
  cmdBuild->add_option("-o,--output", output, "setup program to write (default: setup.exe beside the project)");
  cmdBuild->add_option("--stub", stub, "Installer stub (default: $WRENLY_STUB or wrenly-stub.exe beside wrenly)");
  cmdBuild->add_option("--uninstaller", uninstaller,
                       "uninstaller program when the project names none (default: $WRENLY_UNINSTALLER or "
                       "wrenly-uninstall.exe beside wrenly)");
  cmdBuild->add_option("--sign", sign,
                       "signing command, run on the uninstaller and the setup program; {in} and {out} are "
                       "files (wins over [signing] command)");
  cmdBuild->add_option("-D", defines, "NAME=VALUE for ${NAME} in the project file");
  std::string winget;
  cmdBuild->add_option("--winget", winget,
                       "also write winget's installer manifest for the setup program into this folder");
  auto* quiet = cmdBuild->add_flag("-q,--quiet", build.quiet, "print nothing but warnings and errors");
  cmdBuild->add_flag("-v,--verbose", build.verbose, "print each entry as it is stored")->excludes(quiet);
  cmdBuild->add_flag("-W,--warnings-as-errors", build.warningsAsErrors, "fail the build on any warning (exit 1)");

  std::string setup, dir;
  wrenly::inspector::InspectOptions inspectOptions;
  inspectOptions.stubDecoders = wrenly::builder::ImageDecoders;
  auto* cmdInspect = app.add_subcommand("inspect", "print the package of a setup program");
  cmdInspect->add_option("setup", setup, "setup program")->required();
  cmdInspect->add_flag("--verify", inspectOptions.verify, "decompress and check every entry");
  cmdInspect->add_flag("--json", inspectOptions.json, "print one JSON document (docs/json-output.md)");

  std::string installType;
  auto* cmdExtract = app.add_subcommand("extract", "write the files of one install type into a folder");
  cmdExtract->add_option("setup", setup, "setup program")->required();
  cmdExtract->add_option("dir", dir, "target folder")->required();
  cmdExtract->add_option("-t,--type", installType, "install type: its number, from 1, or its name (default 1)");

  std::string newDir = ".";
  auto* cmdNew = app.add_subcommand("new", "write a small commented project that builds as it is");
  cmdNew->add_option("dir", newDir, "folder to write it into (default: the current folder)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // CLI11's own codes would collide with ours; help is a success.
    return app.exit(e) == 0 ? wrenly::tool::kDone : wrenly::tool::kUsage;
  }

  if (cmdBuild->parsed()) {
    for (const auto& d : defines) {
      size_t eq = d.find('=');
      if (eq == 0 || eq == std::string::npos) {
        std::cerr << "wrenly: -D needs NAME=VALUE, got \"" << d << "\"\n";
        return wrenly::tool::kUsage;
      }
      std::string name = d.substr(0, eq), value = d.substr(eq + 1);
      if (auto given = build.defines.find(name); given != build.defines.end() && given->second != value)
        build.warnings.push_back({{"-D"}, name + " is given more than once; the last, " + d + ", counts"});
      build.defines[name] = value;
    }
    if (cmdBuild->count("--output") && output.empty()) {
      std::cerr << "wrenly: -o needs a file name\n";
      return wrenly::tool::kUsage;
    }
    build.project = PathFromUtf8(project);
    if (!output.empty()) build.output = PathFromUtf8(output);
    if (!stub.empty()) build.stub = PathFromUtf8(stub);
    if (!uninstaller.empty()) build.uninstaller = PathFromUtf8(uninstaller);
    if (!winget.empty()) build.winget = PathFromUtf8(winget);
    if (cmdBuild->count("--sign")) {
      try {
        build.sign = sign;
        wrenly::builder::ParseSigningCommand(sign, {"--sign"});
      } catch (const wrenly::builder::BuildError& e) {
        std::cerr << "wrenly: " << e.what() << "\n";
        return wrenly::tool::kUsage;
      }
    }
    build.toolFolder = wrenly::tool::ToolFolder(argv[0]);
    build.terminal = wrenly::tool::ErrorsToTerminal();
    wrenly::builder::CatchInterrupts();
    try {
      wrenly::builder::Build(build, std::cerr);
      return wrenly::tool::kDone;
    } catch (const std::exception& e) {
      std::cerr << "wrenly: " << e.what() << "\n";
      if (int signal = wrenly::builder::InterruptSignal()) return wrenly::tool::kInterrupted + signal;
      auto* refused = dynamic_cast<const wrenly::builder::BuildError*>(&e);
      return refused ? wrenly::tool::ExitCodeOf(refused->failure()) : wrenly::tool::kRefused;
    }
  }
  if (cmdNew->parsed()) return wrenly::tool::WriteNewProject(PathFromUtf8(newDir), std::cout, std::cerr);
  if (cmdInspect->parsed())
    return wrenly::tool::ExitCodeOf(
        wrenly::inspector::Inspect(PathFromUtf8(setup), inspectOptions, std::cout, std::cerr));
  if (cmdExtract->parsed())
    return wrenly::tool::ExitCodeOf(
        wrenly::inspector::Extract(PathFromUtf8(setup), PathFromUtf8(dir), installType, std::cout, std::cerr));
  return wrenly::tool::kUsage;
}
