#include "builder/winget_manifest.h"

#include <fstream>

#include "builder/error.h"
#include "builder/sha256.h"
#include "builder/utf8_path.h"

namespace wrenly::builder {
namespace {

// Single quotes hold any text in YAML; a quote inside is doubled.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Word(const std::string& text) {
  std::string out;
  for (char c : text)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) out += c;
  return out.substr(0, 32);
}

// The exit codes that are not plain success, as the setup program's table has them.
constexpr struct {
  int code;
  const char* response;
} kReturnCodes[] = {
    {1602, "cancelledByUser"},        {1618, "installInProgress"},    {1639, "invalidParameter"},   {11, "diskFull"},
    {3010, "rebootRequiredToFinish"}, {-2, "rebootRequiredToFinish"}, {1633, "systemNotSupported"}, {1638, "downgrade"},
};

}  // namespace

std::string WingetIdentifier(const ProductFacts& facts) { return Word(facts.publisher) + "." + Word(facts.product); }

std::string WingetInstallerManifest(const ProductFacts& facts, const std::string& sha256) {
  if (Word(facts.publisher).empty() || Word(facts.product).empty() || facts.version.empty())
    throw BuildError("--winget: the project needs [product] publisher and version (winget requires both)");
  std::string m =
      "# yaml-language-server: $schema=https://aka.ms/winget-manifest.installer.1.6.0.schema.json\n"
      "# Written by wrenly build --winget. InstallerUrl is yours to fill in: where the setup program\n"
      "# can be downloaded. Add the version and default-locale manifests beside this one.\n";
  m += "PackageIdentifier: " + WingetIdentifier(facts) + "\n";
  m += "PackageVersion: " + Quoted(facts.version) + "\n";
  m += "InstallerType: exe\nScope: " + std::string(facts.perUser ? "user" : "machine") +
       "\nInstallModes:\n- interactive\n- silent\n- silentWithProgress\n";
  m += "InstallerSwitches:\n  Silent: /Q\n  SilentWithProgress: /QP\n  Log: /L\"<LOGPATH>\"\n"
       "  InstallLocation: /T\"<INSTALLPATH>\"\n";
  m += "ExpectedReturnCodes:\n";
  for (const auto& r : kReturnCodes)
    m += "- InstallerReturnCode: " + std::to_string(r.code) + "\n  ReturnResponse: " + r.response + "\n";
  m += "UpgradeBehavior: install\n";
  if (facts.uninstallEntry) {
    const std::string& code = facts.id.empty() ? facts.product : facts.id;
    m += "ProductCode: " + Quoted(code) + "\n";
    m += "AppsAndFeaturesEntries:\n- DisplayName: " + Quoted(facts.product) +
         "\n  Publisher: " + Quoted(facts.publisher) + "\n  DisplayVersion: " + Quoted(facts.version) +
         "\n  ProductCode: " + Quoted(code) + "\n";
  }
  m += "Installers:\n- Architecture: " + std::string(facts.x64 ? "x64" : "x86") +
       "\n  InstallerUrl: https://example.invalid/setup.exe\n";
  m += "  InstallerSha256: " + sha256 + "\n";
  m += "ManifestType: installer\nManifestVersion: 1.6.0\n";
  return m;
}

std::filesystem::path WriteWingetManifest(const std::filesystem::path& dir, const ProductFacts& facts,
                                          const std::filesystem::path& setup) {
  std::string text = WingetInstallerManifest(facts, FileSha256Hex(setup));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::path file = dir / (WingetIdentifier(facts) + ".installer.yaml");
  std::ofstream out(file, std::ios::binary);
  if (!(out << text) || !out.flush()) throw BuildError(Utf8(file) + ": cannot write the winget manifest");
  return file;
}

}  // namespace wrenly::builder
