// `wrenly build`: project file in, setup program (and volumes) out.
#pragma once
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "builder/toml_reader.h"
#include "builder/warnings.h"
#include "builder/winget_manifest.h"

namespace wrenly::builder {

struct BuildOptions {
  std::filesystem::path project;
  std::optional<std::filesystem::path> output;  // default: setup.exe beside the project file
  std::optional<std::filesystem::path> stub;    // default: WRENLY_STUB, [setup] stub, next to the tool
  // The uninstaller when the project gives none; default: WRENLY_UNINSTALLER, next to the tool.
  std::optional<std::filesystem::path> uninstaller;
  std::filesystem::path toolFolder;  // where wrenly-stub.exe and wrenly-uninstall.exe are looked for last
  Defines defines;
  std::vector<Warning> warnings;                // the command line's own, counted by warningsAsErrors too
  std::optional<std::string> sign;              // the signing command; wins over [signing] command
  std::optional<std::filesystem::path> winget;  // a folder for winget's installer manifest
  bool quiet = false;                           // warnings and errors only
  unsigned threads = 0;
  bool verbose = false;   // each entry as it is stored
  bool terminal = false;  // the progress goes to a terminal: one line, redrawn in place
  bool warningsAsErrors = false;
};

struct BuildResult {
  std::filesystem::path output;
  uint64_t setupBytes = 0;
  size_t volumes = 0;
  size_t entries = 0;
  uint64_t inputBytes = 0;
  uint64_t outputBytes = 0;  // the setup program and its volumes
  ProductFacts facts;
  std::optional<std::filesystem::path> wingetManifest;  // written with --winget
};

// Throws BuildError; on failure nothing is left at the output paths. Warnings,
// progress and the summary go to `progress`.
BuildResult Build(const BuildOptions& options, std::ostream& progress);

}  // namespace wrenly::builder
