// What the builder's copy of the stub says about itself: the product's
// version resource and icon, so that Explorer, SmartScreen and package
// managers name the product rather than the Installer.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "builder/pe_resources.h"

namespace wrenly::builder {

struct VersionTexts {
  std::string product, version, publisher, copyright;  // UTF-8; empty ones are left out
};

// A VS_VERSIONINFO in US English: the fixed part's file and product
// version from `version` ("1.2.3.4", missing parts 0), then the strings.
std::vector<uint8_t> VersionResource(const VersionTexts& texts);
// An .ico file's images as icon resources numbered from firstId, and the
// group that lists them; throws BuildError when it is not an icon file.
std::vector<Resource> IconResources(const std::vector<uint8_t>& ico, uint32_t groupId, uint32_t firstId);
// The stub with the version resource and, when `ico` is not empty, its
// icon in place of the stub's own (under the same group number, so the
// wizard's windows show it too).
std::vector<uint8_t> ProductStub(const std::vector<uint8_t>& stub, const VersionTexts& texts,
                                 const std::vector<uint8_t>& ico);

// The program as the product's scope starts it: for the machine as it is;
// for one user its manifest (24/1) asks for no elevation, as a per-user
// product must not need administrator rights. Throws BuildError, naming
// `what`, when a per-user program has no manifest that says so.
std::vector<uint8_t> ForScope(const std::vector<uint8_t>& image, uint8_t scope, std::string_view what);

}  // namespace wrenly::builder
