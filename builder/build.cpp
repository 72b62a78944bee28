#include "builder/build.h"

#include <cstdlib>
#include <fmt/format.h>
#include <fstream>
#include <iterator>
#include "builder/checks.h"
#include "builder/output_files.h"
#include "builder/package_writer.h"
#include "builder/project_loader.h"
#include "builder/utf8_path.h"
#include "format/container.h"

namespace wrenly::builder {
namespace fs = std::filesystem;

namespace {

fs::path FindStub(const BuildOptions& options, const Project& project) {
  if (options.stub) return *options.stub;
  if (auto env = PathFromEnvironment("WRENLY_STUB")) return *env;
  if (project.stub) return *project.stub;
  return options.toolFolder / "wrenly-stub.exe";
}

fs::path FindUninstaller(const BuildOptions& options) {
  if (options.uninstaller) return *options.uninstaller;
  if (auto env = PathFromEnvironment("WRENLY_UNINSTALLER")) return *env;
  return options.toolFolder / "wrenly-uninstall.exe";
}

std::vector<uint8_t> ReadProgram(const fs::path& path, const char* what) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BuildError(fmt::format("{}: cannot read {}", Utf8(path), what));
  in.seekg(0, std::ios::end);
  std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

}  // namespace

BuildResult Build(const BuildOptions& options, std::ostream& progress) {
  Project project = LoadProject(options.project, options.defines);
  fs::path stubPath = FindStub(options, project);
  std::vector<uint8_t> stub = ReadProgram(stubPath, "the Installer stub (give --stub or set WRENLY_STUB)");
  CheckStub(stubPath, stub);

  std::vector<fs::path> inputs{options.project, stubPath};
  // An empty image would install an uninstaller that cannot start.
  if (!project.uninstallerName.empty() && project.uninstallerImage.empty()) {
    fs::path path = FindUninstaller(options);
    inputs.push_back(path);
    project.uninstallerImage = ReadProgram(
        path, "the uninstaller program (give [uninstaller] program, --uninstaller or set WRENLY_UNINSTALLER)");
    if (project.uninstallerImage.empty())
      throw BuildError(fmt::format("{}: the uninstaller program is empty", Utf8(path)));
  }

  BuildResult result;
  result.output = options.output ? *options.output : project.folder / "setup.exe";
  for (const auto& t : project.types) {
    result.entries += t.files.size();
    for (const auto& f : t.files) {
      std::error_code ec;
      result.inputBytes += f.source.empty() ? f.content.size() : fs::file_size(f.source, ec);
      if (!f.source.empty()) inputs.push_back(f.source);
    }
  }
  // Refused outputs and a folder that cannot be written show before any compression.
  OutputFiles files(std::move(inputs));
  std::FILE* setup = files.Create(result.output);
  const uint64_t total = result.inputBytes;
  ProgressFn show;
  if (!options.quiet)
    show = [&](size_t done, size_t count, uint64_t bytes) {
      int percent = total ? static_cast<int>(bytes * 100 / total) : 100;
      progress << fmt::format("\rcompressing {}/{} entries, {:3d}%", done, count, percent) << std::flush;
      if (done == count) progress << "\n";
    };
  PackageOutput out{setup, files.Scratch(result.output), [&](int number) {
                      return files.Create(VolumePath(result.output, number));
                    }};
  PackageCounts counts = WritePackage(project, stub, out, show, options.threads);
  files.Commit();
  result.setupBytes = counts.setupBytes;
  result.volumes = counts.volumes;
  return result;
}

}  // namespace wrenly::builder
