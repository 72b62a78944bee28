#include "builder/build.h"

#include <fmt/format.h>

#include <cstdlib>
#include <set>

#include "builder/build_report.h"
#include "builder/checks.h"
#include "builder/output_files.h"
#include "builder/package_writer.h"
#include "builder/product_resources.h"
#include "builder/project_loader.h"
#include "builder/read_file.h"
#include "builder/signing.h"
#include "builder/stub_images.h"
#include "builder/utf8_path.h"
#include "builder/warnings.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/product_identity.h"

namespace wrenly::builder {
namespace fs = std::filesystem;

namespace {

// A file given is the image, taken as it is; a folder, the tool's own
// included, offers its images to choose from.
std::vector<fs::path> FindStubs(const BuildOptions& options, const Project& project) {
  std::optional<fs::path> given = options.stub;
  if (!given) given = PathFromEnvironment("WRENLY_STUB");
  if (!given) given = project.stub;
  std::error_code ec;
  if (given && !fs::is_directory(*given, ec)) return {*given};
  fs::path folder = given ? *given : options.toolFolder;
  std::vector<fs::path> images = ImagesIn(folder);
  if (images.empty())
    throw BuildError(fmt::format("{}: no Installer image (wrenly-stub*.exe) in this folder", Utf8(folder)));
  return images;
}

fs::path FindUninstaller(const BuildOptions& options) {
  if (options.uninstaller) return *options.uninstaller;
  if (auto env = PathFromEnvironment("WRENLY_UNINSTALLER")) return *env;
  return options.toolFolder / "wrenly-uninstall.exe";
}

std::vector<uint8_t> ReadProgram(const fs::path& path, const char* what) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) throw BuildError(fmt::format("{}: cannot read {}", Utf8(path), what));
  return std::move(*bytes);
}

}  // namespace

BuildResult Build(const BuildOptions& options, std::ostream& progress) {
  BuildReport report(progress,
                     options.quiet     ? Verbosity::kQuiet
                     : options.verbose ? Verbosity::kVerbose
                                       : Verbosity::kNormal,
                     options.terminal);
  std::vector<Warning> warnings = options.warnings;
  for (const Warning& w : warnings) progress << FormatWarning(w) << "\n";
  Project project = LoadProject(options.project, options.defines);
  for (const Warning& w : FindWarnings(project)) progress << FormatWarning(warnings.emplace_back(w)) << "\n";
  if (options.warningsAsErrors && !warnings.empty())
    throw BuildError(fmt::format("{} warning{} and --warnings-as-errors: nothing written", warnings.size(),
                                 warnings.size() == 1 ? "" : "s"));
  BuildResult result;
  result.facts = {project.product,
                  project.version,
                  project.publisher,
                  project.url,
                  !project.types.empty() && (project.types.front().options & format::kOptRegisterUninstall),
                  project.id,
                  project.scope == format::kScopeUser,
                  project.architecture == format::kArchitectureX64};
  // What winget needs is known before anything is compressed.
  if (options.winget) WingetInstallerManifest(result.facts, std::string(64, '0'));
  std::optional<SigningCommand> signing;
  if (options.sign) signing = ParseSigningCommand(*options.sign, Where{"--sign"});
  else if (project.signing) signing = ParseSigningCommand(*project.signing, project.signingWhere);
  std::vector<fs::path> inputs{options.project};
  std::vector<StubImage> stubs;
  for (const fs::path& path : FindStubs(options, project)) {
    std::vector<uint8_t> bytes = ReadProgram(path, "the Installer stub (give --stub or set WRENLY_STUB)");
    CheckStub(path, bytes);
    uint32_t methods = StubMethods(bytes);
    // Explorer, SmartScreen and package managers read the product from here.
    bytes = ForScope(
        ProductStub(bytes, {project.product, project.version, project.publisher, project.copyright}, project.icon),
        project.scope, "the Installer stub");
    stubs.push_back({path, std::move(bytes), methods});
    inputs.push_back(path);
  }
  inputs.insert(inputs.end(), project.inputs.begin(), project.inputs.end());
  // An empty image would install an uninstaller that cannot start.
  if (!project.uninstallerName.empty() && project.uninstallerImage.empty()) {
    fs::path path = FindUninstaller(options);
    inputs.push_back(path);
    project.uninstallerImage = ReadProgram(
        path, "the uninstaller program (give [uninstaller] program, --uninstaller or set WRENLY_UNINSTALLER)");
    if (project.uninstallerImage.empty())
      throw BuildError(fmt::format("{}: the uninstaller program is empty", Utf8(path)));
  }
  // Patched before it is signed: the signature covers the manifest.
  if (!project.uninstallerImage.empty())
    project.uninstallerImage = ForScope(project.uninstallerImage, project.scope, "the uninstaller program");

  result.output = options.output ? *options.output : project.folder / "setup.exe";
  // The summary counts each file the author gave once, whatever number of entries have it.
  std::set<fs::path> sources;
  for (const auto& t : project.types) {
    result.entries += t.files.size();
    for (const auto& f : t.files) {
      if (f.source.empty() || !sources.insert(f.source).second) continue;
      std::error_code ec;
      inputs.push_back(f.source);
      result.inputBytes += fs::file_size(f.source, ec);
    }
  }
  // Refused outputs and a folder that cannot be written show before any compression.
  OutputFiles outputs(std::move(inputs));
  std::FILE* setup = outputs.Create(result.output);
  bool signsUninstaller = signing && !project.uninstallerImage.empty();
  if (signsUninstaller)
    project.uninstallerImage = SignProgram(*signing, project.uninstallerImage, outputs, result.output);
  if (project.recordBeside.value_or(signsUninstaller)) project.identityFlags |= format::kIdentityRecordBeside;
  uint64_t payload = 0, packed = 0;
  size_t shared = 0;
  PackageProgress show{[&](size_t copies, uint64_t bytes) { report.Start(copies, bytes); },
                       [&](uint64_t bytes) { report.Progress(bytes); },
                       [&](const FileItem& item, const StoredData& data) {
                         if (data.copyOf) ++shared;
                         else if (!item.source.empty()) payload += data.stored, packed += data.size;
                         report.Stored(item, data);
                       }};
  PackageOutput out{setup, outputs.Scratch(result.output),
                    [&](int number) { return outputs.Create(VolumePath(result.output, number)); }};
  PackageCounts counts = WritePackage(project, stubs, out, show, options.threads);
  const StubImage& stub = stubs[counts.stub];
  // Signed last, as the certificate follows the package; volumes are not signed.
  if (signing) {
    uint64_t signedBytes = SignSetup(*signing, setup, outputs, result.output, stub.bytes.size());
    counts.outputBytes += signedBytes - counts.setupBytes;
    counts.setupBytes = signedBytes;
  }
  outputs.Commit();
  if (options.winget) {
    result.wingetManifest = WriteWingetManifest(*options.winget, result.facts, result.output);
    if (!options.quiet) progress << "winget manifest: " << Utf8(*result.wingetManifest) << "\n";
  }
  result.setupBytes = counts.setupBytes;
  result.outputBytes = counts.outputBytes;
  result.volumes = counts.volumes;
  report.Finish({result.output, result.volumes, sources.size(), result.inputBytes, result.outputBytes, payload, packed,
                 shared, Utf8(stub.path.filename()), DecoderNames(stub.methods), DecoderNames(counts.methods)});
  return result;
}

}  // namespace wrenly::builder
