// The installer manifest that winget reads for a setup program just built:
// its digest, the unattended switches, the exit codes, the scope and the
// product code (the name of its uninstall key).
#pragma once
#include <filesystem>
#include <string>

namespace wrenly::builder {

struct ProductFacts {
  std::string product, version, publisher, url;
  bool uninstallEntry = false;  // the list of installed programs gets an entry
  std::string id;               // the uninstall key's name; empty: the product name
  bool perUser = false, x64 = false;
};

// "Publisher.Product" from the letters and digits of both.
std::string WingetIdentifier(const ProductFacts& facts);
// The manifest's text; sha256 as 64 hex digits. Throws BuildError when the
// project lacks what winget requires (a publisher and a version).
std::string WingetInstallerManifest(const ProductFacts& facts, const std::string& sha256);
// Writes DIR/IDENTIFIER.installer.yaml for the setup program; the path written.
std::filesystem::path WriteWingetManifest(const std::filesystem::path& dir, const ProductFacts& facts,
                                          const std::filesystem::path& setup);

}  // namespace wrenly::builder
